// The kernel reports each of the keyboard's four hidraw nodes through udev; the session must
// see one arrival per USB device, as it did from the emulator, or each node costs it another
// 2 s settle and read (found by tests/kernel).

#include <gtest/gtest.h>

#include "transport/hotplug_filter.h"

namespace tavrik::hid {
namespace {

const std::string kKeyboard = "/sys/devices/platform/dummy_hcd.0/usb1/1-1";
const std::string kDecoy = "/sys/devices/platform/dummy_hcd.1/usb2/2-1";

TEST(HotplugFilter, FourNodesOfOneKeyboardArriveOnce) {
    HotplugFilter f;
    EXPECT_TRUE(f.arrival("/dev/hidraw0", kKeyboard));
    EXPECT_FALSE(f.arrival("/dev/hidraw1", kKeyboard));
    EXPECT_FALSE(f.arrival("/dev/hidraw2", kKeyboard));
    EXPECT_FALSE(f.arrival("/dev/hidraw3", kKeyboard));
}

TEST(HotplugFilter, AnotherDeviceArrivesOfItsOwn) {
    HotplugFilter f;
    EXPECT_TRUE(f.arrival("/dev/hidraw0", kKeyboard));
    EXPECT_TRUE(f.arrival("/dev/hidraw4", kDecoy));
    EXPECT_FALSE(f.arrival("/dev/hidraw5", kDecoy));
}

TEST(HotplugFilter, AReplugArrivesAgainOnceEveryNodeLeft) {
    HotplugFilter f;
    for (const char* n : {"/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw3"}) {
        f.arrival(n, kKeyboard);
    }
    for (const char* n : {"/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw3"}) {
        f.removal(n);
    }
    // The kernel may hand out other node numbers the next time.
    EXPECT_TRUE(f.arrival("/dev/hidraw2", kKeyboard));
    EXPECT_FALSE(f.arrival("/dev/hidraw0", kKeyboard));
}

TEST(HotplugFilter, ANodeOfAnUnknownDeviceAlwaysArrives) {
    HotplugFilter f;
    EXPECT_TRUE(f.arrival("/dev/hidraw0", ""));
    EXPECT_TRUE(f.arrival("/dev/hidraw1", ""));
}

TEST(HotplugFilter, TheSameNodeAddedTwiceArrivesEachTime) {
    // An add without a remove in between (a missed event): not swallowed.
    HotplugFilter f;
    EXPECT_TRUE(f.arrival("/dev/hidraw0", kKeyboard));
    EXPECT_TRUE(f.arrival("/dev/hidraw0", kKeyboard));
}

}  // namespace
}  // namespace tavrik::hid
