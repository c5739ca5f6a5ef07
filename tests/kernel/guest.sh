#!/bin/busybox sh
# Stage 2 of the virtual machine of tests/kernel/run: PID 1 in the shared root (the host's root
# read-only under a tmpfs overlay). Loads the USB and HID modules of the guest's kernel, starts
# the host's systemd-udevd, plugs in the keyboard and a decoy (tavrik-usbgadget on the two
# controllers of dummy_hcd) and runs the scenarios. Every program start costs 50-100 ms here, so
# the wait loops use the shell's built-ins. What the host checks comes back in /tavrik-out:
#     full.trace          the keyboard's trace from its start (tavrik-usbgadget --trace)
#     <scenario>.trace    the part of it that one scenario caused
#     steps               one line per step the guest checked itself: <scenario> <step> ok|fail ...
#     marks               trace line counts and times at the scenario boundaries
#     tavrik-87rev.log, gadget.log, *.out: what the programs printed
bb=/bin/busybox
. /tavrik-config
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8
OUT=/tavrik-out
TRACE=/tmp/full.trace  # on the guest's tmpfs; copied out at the end

say() { echo "guest: $*"; }
step() { # scenario step ok|fail [detail]
    echo "$*" >>$OUT/steps
    [ "$3" = ok ] || say "$*"
}
check() { # scenario step command...: ok when the command succeeds
    local s=$1 n=$2
    shift 2
    if "$@" >>$OUT/$s.out 2>&1; then step $s $n ok; else step $s $n fail "exit $?"; fi
}
lines() { # lines of a file
    $bb wc -l <"$1"
}
uptime_ms() {
    local up rest
    read -r up rest </proc/uptime
    echo $((${up%.*} * 1000 + 10#${up#*.} * 10))
}
# A pause of 100 ms by the shell alone: a read with a time-out on a FIFO nobody writes to.
nap() { read -t 0.1 -u 5 _; }
# What the keyboard has written so far (its trace, mostly): read from /proc by the shell alone,
# so that waiting costs the virtual machine no program starts while the tool is measured.
written() {
    local k v
    while read -r k v; do
        [ "$k" = wchar: ] && echo $v && return
    done </proc/$KB_PID/io
}
# Waits until the keyboard has written nothing for $1 polls of 100 ms (at most $2 s); 0 when it
# went quiet.
wait_quiet() {
    local want=$1 limit=$(($2 * 10)) last=-1 same=0 i=0 n
    while [ $i -lt $limit ]; do
        n=$(written)
        if [ "$n" = "$last" ]; then same=$((same + 1)); else same=0; fi
        [ $same -ge $want ] && return 0
        last=$n
        i=$((i + 1))
        nap
    done
    return 1
}
# Waits (at most $1 s) until the trace grows past line $2 (the scenario's start by default).
wait_start() {
    local i=0 base=${2:-$START_LINE}
    while [ $i -lt $(($1 * 10)) ]; do
        [ "$(lines $TRACE)" -gt "$base" ] && return 0
        i=$((i + 1))
        nap
    done
    return 1
}
# Waits (at most $2 s) until file $1 exists.
wait_file() {
    local i=0
    while [ $i -lt $(($2 * 10)) ]; do
        [ -e "$1" ] && return 0
        i=$((i + 1))
        nap
    done
    return 1
}
begin() { # scenario: remembers where its part of the trace starts
    SCENARIO=$1
    START_LINE=$(lines $TRACE)
    say "scenario $1 at $(uptime_ms) ms"
}
end() { # copies the scenario's part of the trace out
    local n
    n=$(lines $TRACE)
    $bb sed -n "$((START_LINE + 1)),${n}p" $TRACE >$OUT/$SCENARIO.trace
    echo "$SCENARIO $START_LINE $n" >>$OUT/marks
    $bb cp $TRACE $OUT/full.trace
}
kb() { echo "$*" >&3; }  # an operator command to the keyboard

$bb mount -t tmpfs run /run
$bb mount -t tmpfs tmp /tmp
$bb mkfifo /tmp/nap.fifo
exec 5<>/tmp/nap.fifo
$bb mkdir -p /dev/pts /dev/shm
$bb mount -t devpts devpts /dev/pts
$bb mount -t tmpfs shm /dev/shm
$bb mkdir -p /lib/modules/$RELEASE
$bb mount --bind "$KDIR/lib/modules/$RELEASE" /lib/modules/$RELEASE
say "stage 2 at $(uptime_ms) ms"
echo "boot_ms $(uptime_ms)" >>$OUT/marks
# dummy_hcd with two controllers: the keyboard on the first, the decoy on the second.
modprobe dummy_hcd num=2 || say "modprobe dummy_hcd failed"
modprobe -a configfs libcomposite usb_f_fs usbhid hid-generic || say "modprobe failed"
$bb mount -t configfs configfs /sys/kernel/config
say "modules loaded at $(uptime_ms) ms"
$bb mkdir -p /etc/udev/rules.d
$bb cp "$REPO/packaging/udev/70-tavrik-87rev.rules" /etc/udev/rules.d/
/lib/systemd/systemd-udevd --daemon
say "udevd started at $(uptime_ms) ms"
: >$TRACE

# ---- the keyboard and the decoy --------------------------------------------------------------
$bb mkfifo /tmp/kb.in /tmp/decoy.in
"$BIN/tavrik-usbgadget" --trace $TRACE --udc dummy_udc.0 </tmp/kb.in >$OUT/gadget.log 2>&1 &
KB_PID=$!
exec 3>/tmp/kb.in
"$BIN/tavrik-usbgadget" --trace $OUT/decoy.trace --product 0xA132 --name decoy --serial DECOY \
    --udc dummy_udc.1 </tmp/decoy.in >$OUT/decoy.log 2>&1 &
exec 4>/tmp/decoy.in
wait_nodes() { # count: waits (at most 20 s) until that many hidraw nodes exist
    local i=0 n
    while [ $i -lt 200 ]; do
        n=0
        for d in /dev/hidraw*; do [ -e "$d" ] && n=$((n + 1)); done
        [ $n -ge $1 ] && return 0
        i=$((i + 1))
        nap
    done
    return 1
}
product_nodes() { # product id (4 hex digits, upper case): how many hidraw nodes it has now
    local n=0 d
    for d in /sys/class/hidraw/*; do
        [ -e "$d" ] || continue
        case $(cd -P "$d/device" && pwd) in *:04D9:$1.*) n=$((n + 1)) ;; esac
    done
    echo $n
}
wait_product() { # product count: waits (at most 20 s) until that product has exactly count nodes
    local i=0
    while [ $i -lt 200 ]; do
        [ "$(product_nodes $1)" -eq $2 ] && return 0
        i=$((i + 1))
        nap
    done
    return 1
}
say "gadgets started at $(uptime_ms) ms"
wait_nodes 8 || say "the keyboard's and the decoy's hidraw nodes did not all appear"
say "hidraw nodes there at $(uptime_ms) ms"
udevadm settle -t 10
say "keyboards plugged at $(uptime_ms) ms"

# ---- discovery: both gadgets plugged, the decoy (0xA132, same interfaces) must be skipped ------
begin discovery
"$BIN/tavrik-hid-probe" list >$OUT/discovery.out 2>&1
end

# ---- the rig's own round trip: the start-up read's reports without its pauses ------------------
begin rtt
"$BIN/tavrik-hid-probe" rtt 3 >$OUT/rtt.out 2>&1
end

# ---- start-up: the tool until idle after its sync ---------------------------------------------
export XDG_RUNTIME_DIR=/tmp/run-root XDG_DATA_HOME=/tmp/share XDG_CONFIG_HOME=/tmp/config
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="tavrik.*=true"
export QT_MESSAGE_PATTERN="%{time process} %{category}: %{message}"
$bb mkdir -p -m 0700 $XDG_RUNTIME_DIR
$bb mkdir -p /tmp/data
CTL="$BIN/tavrikctl --data-dir /tmp/data"
begin startup
"$BIN/tavrik-87rev" --data-dir /tmp/data --lang en >$OUT/tavrik-87rev.log 2>&1 3>&- 4>&- 5>&- &
TOOL_PID=$!
if wait_start 60 && wait_quiet 10 60; then step startup quiet ok; else step startup quiet fail; fi
end
# How busy the tool is while it waits for nothing (clock ticks of 10 ms over 2 s).
cpu() { # user+system ticks of a process
    local a
    read -r a </proc/$1/stat
    set -- ${a#*) }
    echo $((${12} + ${13}))
}
c0=$(cpu $TOOL_PID)
$bb sleep 2
echo "tool_idle_cpu_percent $((($(cpu $TOOL_PID) - c0) / 2))" >>$OUT/marks  # of one CPU

# ---- Saves through the running tool, each step acknowledged through the interrupt endpoint ----
save() { # scenario tavrikctl-words...
    local s=$1
    shift
    begin $s
    check $s ctl $CTL "$@"
    wait_quiet 5 20
    end
    $bb cp /tmp/data/keymap.bin $OUT/$s.keymap.bin
}
save save-key set key F6 LCtrl + C
save save-diy set diy 2 Esc '#FF8000'
save save-lighting set effect breathing --speed 3

# ---- a key bound to "Startup" reports its event, the tool starts the program once -------------
begin launch
printf '#!/bin/sh\necho launched >>/tmp/launched\n' >/tmp/launch-target
$bb chmod 755 /tmp/launch-target
check launch bind $CTL set key F7 launch program /tmp/launch-target
wait_quiet 5 20
kb press $("$BIN/tavrik-kernel-check" slot F7)
if wait_file /tmp/launched 10; then step launch started ok; else step launch started fail; fi
$bb sleep 2
n=$(lines /tmp/launched 2>/dev/null || echo 0)
[ "$n" = 1 ] && step launch once ok || step launch once fail "$n launches"
end

# ---- unplug in the middle of a Save, replug: removal and arrival through udev and libudev -----
begin replug
kb fault remove 3
if $CTL set diy 3 Esc '#00FF00' >>$OUT/replug.out 2>&1; then
    step replug save-cut fail "the Save went through"
else
    step replug save-cut ok
fi
$bb sleep 1
cut=$(lines $TRACE)
kb plug
# The arrival read: after udev's events and the tool's 2 s settle.
if wait_start 20 $cut && wait_quiet 10 30; then step replug arrival ok; else step replug arrival fail; fi
end
begin resave
check resave ctl $CTL set effect wave
wait_quiet 5 20
end
$bb cp /tmp/data/keymap.bin $OUT/resave.keymap.bin

# ---- tavrikctl with the tool running: forwarded to it ---------------------------------------
begin ctl-tool
check ctl-tool status $CTL status
check ctl-tool dump $CTL dump --json -o /tmp/before.json
check ctl-tool set $CTL set game-mode off
check ctl-tool apply $CTL apply /tmp/before.json
wait_quiet 5 20
end
$bb cp /tmp/data/keymap.bin $OUT/ctl-tool.keymap.bin
$bb cp /tmp/before.json $OUT/ctl-tool.dump.json

kill $TOOL_PID
wait $TOOL_PID

# ---- tavrikctl on its own: its own session through hidraw ------------------------------------
begin ctl-alone
check ctl-alone status $CTL status
check ctl-alone dump $CTL dump --json -o /tmp/alone-dump.json
check ctl-alone set $CTL set response-time 8
check ctl-alone apply $CTL apply /tmp/before.json
end
$bb cp /tmp/alone-dump.json $OUT/ctl-alone.dump.json

# ---- permissions: the udev rule's uaccess tag, a user without and with an ACL ------------------
begin permissions
udevadm info --export-db >$OUT/permissions.out
USER_RUN=/tmp/run-nobody
$bb mkdir -p -m 0700 $USER_RUN /tmp/nobody
$bb chown 65534:65534 $USER_RUN /tmp/nobody
as_user() {
    $bb env HOME=/tmp/nobody XDG_RUNTIME_DIR=$USER_RUN XDG_DATA_HOME=/tmp/nobody \
        XDG_CONFIG_HOME=/tmp/nobody /usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups \
        "$BIN/tavrikctl" --data-dir /tmp/nobody "$@"
}
as_user status >$OUT/permissions.denied 2>&1
echo "exit $?" >>$OUT/permissions.denied
as_user dump >>$OUT/permissions.denied 2>&1
echo "exit $?" >>$OUT/permissions.denied
# What logind does for the uaccess tag at an active seat: an ACL for the seat's user.
nodes=""
for d in /sys/class/hidraw/*; do
    case $(cd -P "$d/device" && pwd) in
    *:04D9:A131.*) nodes="$nodes /dev/${d##*/}" ;;
    esac
done
setfacl -m u:65534:rw $nodes
as_user status >$OUT/permissions.granted 2>&1
echo "exit $?" >>$OUT/permissions.granted
end

say "permissions done at $(uptime_ms) ms"
# ---- discovery of the keyboard as product 0x0001 --------------------------------------------
kb dump
kb quit
exec 3>&-
wait $KB_PID
# The old keyboard's nodes go away after its process ends; counting them as the new one's
# would list a half-enumerated device.
wait_product A131 0 || say "the first keyboard's hidraw nodes did not go away"
: >/tmp/kb1.trace
"$BIN/tavrik-usbgadget" --trace /tmp/kb1.trace --product 0x0001 --name tavrik1 --serial TAVRIK0002 \
    --udc dummy_udc.0 </tmp/kb.in >$OUT/gadget-0001.log 2>&1 &
KB_PID=$!
exec 3>/tmp/kb.in
wait_product 0001 4 || say "the keyboard's hidraw nodes as product 0001 did not all appear"
udevadm settle -t 10
"$BIN/tavrik-hid-probe" list >$OUT/discovery-0001.out 2>&1
kb quit
exec 3>&- 4>&-
wait

$bb cp $TRACE $OUT/full.trace
$bb cp /tmp/kb1.trace $OUT/discovery-0001.trace
echo "end_ms $(uptime_ms)" >>$OUT/marks
say "done at $(uptime_ms) ms"
$bb sync
$bb poweroff -f
