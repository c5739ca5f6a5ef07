#!/bin/busybox sh
# Stage 2 of the virtual machine of tests/kernel/run, PID 1 in the shared root.
bb=/bin/busybox
. /tavrik-config
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
OUT=/tavrik-out
say() { echo "guest: $*"; }
$bb mount -t tmpfs run /run
$bb mount -t tmpfs tmp /tmp
$bb mkdir -p /dev/pts && $bb mount -t devpts devpts /dev/pts
$bb mkdir -p /lib/modules/$RELEASE
$bb mount --bind "$KDIR/lib/modules/$RELEASE" /lib/modules/$RELEASE
$bb cat /proc/uptime
modprobe configfs; $bb mount -t configfs configfs /sys/kernel/config
modprobe dummy_hcd num=2 && modprobe libcomposite && modprobe usb_f_fs && modprobe usbhid && modprobe hid-generic
$bb cat /proc/uptime
/lib/systemd/systemd-udevd --daemon
$bb ls /sys/class/udc
$bb mkfifo /tmp/kb.in
"$BIN/tavrik-usbgadget" --trace $OUT/full.trace < /tmp/kb.in > $OUT/gadget.log 2>&1 &
exec 3>/tmp/kb.in
$bb sleep 2
$bb cat /proc/uptime
$bb ls -la /dev/hidraw*
"$BIN/tavrik-hid-probe" list
"$BIN/tavrik-hid-probe" rtt 100
$bb cat /proc/uptime
$bb dmesg | $bb tail -30
$bb poweroff -f
