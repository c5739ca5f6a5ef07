// Choosing the command and event channels among enumerated HID interfaces.
#include <gtest/gtest.h>

#include "device/discovery.h"

namespace tavrik::device {
namespace {

HidInterfaceInfo entry(std::string path, std::uint16_t product, int interface,
                       std::uint16_t vendor = kVendorId) {
    return {std::move(path), vendor, product, interface, 0};
}

// A keyboard node as hidapi lists it on Linux: interface 3 with four collections on one path.
void addKeyboard(std::vector<HidInterfaceInfo>& list, const std::string& base,
                 std::uint16_t product) {
    list.push_back(entry(base + "a", product, 0));
    for (int c = 0; c < 4; ++c) list.push_back(entry(base + "b", product, 3));
}

class ProductIds : public testing::TestWithParam<std::uint16_t> {};

TEST_P(ProductIds, BothProductsAreFoundAlike) {
    std::vector<HidInterfaceInfo> list;
    addKeyboard(list, "/dev/hidraw", GetParam());
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Command), "/dev/hidrawb");
    EXPECT_EQ(selectPath(list, ChannelRole::Event), "/dev/hidrawb");
}

INSTANTIATE_TEST_SUITE_P(Keyboard, ProductIds, testing::Values(0x0001, 0xA131));

TEST(Discovery, OtherProductsAndVendorsAreSkipped) {
    std::vector<HidInterfaceInfo> list;
    addKeyboard(list, "/dev/other", 0x1234);
    list.push_back(entry("/dev/foreign", 0x0001, 3, 0x046D));
    addKeyboard(list, "/dev/kb", 0xA131);
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Command), "/dev/kbb");
    EXPECT_EQ(selectPath(list, ChannelRole::Event), "/dev/kbb");
}

TEST(Discovery, FirstMatchWins) {
    std::vector<HidInterfaceInfo> list;
    addKeyboard(list, "/dev/first", 0x0001);
    addKeyboard(list, "/dev/second", 0xA131);
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Command), "/dev/firstb");
}

TEST(Discovery, EventChannelNeedsAFourthCollection) {
    std::vector<HidInterfaceInfo> list;
    for (int c = 0; c < 3; ++c) list.push_back(entry("/dev/three", 0x0001, 1));
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Event), std::nullopt);
    list.push_back(entry("/dev/three", 0x0001, 1));
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Event), "/dev/three");
}

TEST(Discovery, PathSelectorsAreCaseSensitive) {
    std::vector<HidInterfaceInfo> list{
        entry("\\\\?\\hid#vid_04d9&pid_a131&MI_03#x", 0xA131, -1),
        entry("\\\\?\\hid#vid_04d9&pid_a131&mi_01&COL04", 0xA131, -1)};
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Command), std::nullopt);
    EXPECT_EQ(selectPath(list, ChannelRole::Event), std::nullopt);
    list.push_back(entry("\\\\?\\hid#vid_04d9&pid_a131&mi_03#y", 0xA131, -1));
    list.push_back(entry("\\\\?\\hid#vid_04d9&pid_a131&mi_01&col04", 0xA131, -1));
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Command), "\\\\?\\hid#vid_04d9&pid_a131&mi_03#y");
    EXPECT_EQ(selectPath(list, ChannelRole::Event), "\\\\?\\hid#vid_04d9&pid_a131&mi_01&col04");
}

TEST(Discovery, NothingWhenAbsent) {
    std::vector<HidInterfaceInfo> list;
    EXPECT_EQ(selectPath(list, ChannelRole::Command), std::nullopt);
    list.push_back(entry("/dev/mouse", 0x0002, 3));
    numberCollections(list);
    EXPECT_EQ(selectPath(list, ChannelRole::Command), std::nullopt);
    EXPECT_EQ(selectPath(list, ChannelRole::Event), std::nullopt);
}

}  // namespace
}  // namespace tavrik::device
