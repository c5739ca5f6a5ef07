// The USB face of tavrik-usbgadget, checked against the HID and FunctionFS rules by hand:
// golden lengths and tags transcribed from the layouts, not computed by the builders.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim/usb_descriptors.h"

namespace tavrik::sim::usb {
namespace {

std::uint32_t le32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// Top-level collections: Collection (0xA1) items at nesting depth 0.
int topLevelCollections(const std::vector<std::uint8_t>& d) {
    int depth = 0, top = 0;
    for (std::size_t i = 0; i < d.size();) {
        const std::uint8_t tag = d[i];
        const std::size_t size = (tag & 3) == 3 ? 4 : (tag & 3);
        if ((tag & 0xFC) == 0xA0) top += depth++ == 0 ? 1 : 0;
        if (tag == 0xC0) --depth;
        i += 1 + size;
    }
    return top;
}

bool hasReportIds(const std::vector<std::uint8_t>& d) {
    for (std::size_t i = 0; i < d.size();) {
        const std::uint8_t tag = d[i];
        if ((tag & 0xFC) == 0x84) return true;  // Report ID
        i += 1 + ((tag & 3) == 3 ? 4 : (tag & 3));
    }
    return false;
}

TEST(UsbDescriptors, InterfaceOneHasFourCollectionsTheFourthWithReportFour) {
    const std::vector<std::uint8_t> d = reportDescriptor(kEventInterface);
    EXPECT_EQ(topLevelCollections(d), 4);
    // The last collection: vendor page 0xFF00, usage 4, report ID 4, three bytes of input.
    const std::vector<std::uint8_t> tail{0x06, 0x00, 0xFF, 0x09, 0x04, 0xA1, 0x01, 0x85,
                                         0x04, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
                                         0x95, 0x03, 0x09, 0x04, 0x81, 0x02, 0xC0};
    ASSERT_GE(d.size(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), d.end() - tail.size()));
}

TEST(UsbDescriptors, CommandInterfaceCarriesNoReportIds) {
    const std::vector<std::uint8_t> d = reportDescriptor(kCommandInterface);
    EXPECT_EQ(topLevelCollections(d), 1);
    EXPECT_FALSE(hasReportIds(d));
    // Feature report of 8 bytes: Report Count 8 then Feature (0xB1).
    const std::vector<std::uint8_t> feature{0x95, 0x08, 0x09, 0x01, 0xB1, 0x02};
    EXPECT_NE(std::search(d.begin(), d.end(), feature.begin(), feature.end()), d.end());
}

TEST(UsbDescriptors, BootKeyboardAndVendorInterface) {
    EXPECT_EQ(reportDescriptor(kBootInterface).size(),
              63u);  // the HID class definition's boot keyboard example
    EXPECT_EQ(topLevelCollections(reportDescriptor(kVendorInterface)), 1);
    EXPECT_TRUE(reportDescriptor(4).empty());
}

TEST(UsbDescriptors, FunctionFsBlobHasBothSpeeds) {
    const std::vector<std::uint8_t> b = functionFsDescriptors();
    ASSERT_GE(b.size(), 20u);
    EXPECT_EQ(le32At(b, 0), 3u);        // FUNCTIONFS_DESCRIPTORS_MAGIC_V2
    EXPECT_EQ(le32At(b, 4), b.size());  // length
    EXPECT_EQ(le32At(b, 8), 3u);        // full and high speed
    // Per speed: 4 interface + 4 HID + 5 endpoint descriptors.
    EXPECT_EQ(le32At(b, 12), 13u);
    EXPECT_EQ(le32At(b, 16), 13u);
    // 4 x (9 + 9) + 5 x 7 = 107 bytes per speed.
    EXPECT_EQ(b.size(), 20u + 2 * 107u);
    // The endpoints in the order of the endpoint files: 0x81, 0x82, 0x83, 0x84, 0x05.
    std::vector<std::uint8_t> addresses;
    for (std::size_t i = 20; i < 20 + 107;) {
        if (b[i + 1] == 0x05) addresses.push_back(b[i + 2]);
        i += b[i];
    }
    EXPECT_EQ(addresses, (std::vector<std::uint8_t>{0x81, 0x82, 0x83, 0x84, 0x05}));
}

TEST(UsbDescriptors, StringsBlobIsAnEmptyHead) {
    const std::vector<std::uint8_t> s = functionFsStrings();
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(le32At(s, 0), 2u);  // FUNCTIONFS_STRINGS_MAGIC
    EXPECT_EQ(le32At(s, 4), 16u);
}

}  // namespace
}  // namespace tavrik::sim::usb
