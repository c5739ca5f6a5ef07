#pragma once
// The keyboard as USB sees it: the four HID interfaces of tavrik-usbgadget, their report
// descriptors and the FunctionFS descriptor and string blobs. Pure byte builders; the gadget
// (usb_gadget.h) writes them to FunctionFS.
//
//   interface 0  boot keyboard (subclass 1, protocol 1), interrupt IN
//   interface 1  one report descriptor with four top-level collections and numbered reports;
//                the fourth carries input report ID 4 (acknowledgements and key events, 3 bytes
//                after the ID), interrupt IN
//   interface 2  one more vendor collection, interrupt IN
//   interface 3  the vendor command interface without report IDs: 8-byte feature reports
//                (GET_REPORT / SET_REPORT on the control pipe), 64-byte input and output
//                reports on interrupt IN and OUT
//
// All multi-byte fields are little-endian, as USB and FunctionFS want them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrik::sim::usb {

inline constexpr int kInterfaceCount = 4;
inline constexpr int kBootInterface = 0;
inline constexpr int kEventInterface = 1;
inline constexpr int kVendorInterface = 2;
inline constexpr int kCommandInterface = 3;

// FunctionFS numbers the endpoint files ep1, ep2, ... in the order the endpoints first appear
// in the descriptors.
inline constexpr int kBootInEndpointFile = 1;
inline constexpr int kEventInEndpointFile = 2;
inline constexpr int kVendorInEndpointFile = 3;
inline constexpr int kCommandInEndpointFile = 4;
inline constexpr int kCommandOutEndpointFile = 5;

inline constexpr std::size_t kCommandPacketSize = 64;  // data reports without the ID byte
inline constexpr std::size_t kFeaturePayloadSize = 8;  // feature reports without the ID byte
inline constexpr std::uint8_t kEventReportId = 4;

// USB and HID request codes the gadget answers on ep0.
namespace request {
inline constexpr std::uint8_t kGetDescriptor = 0x06;
inline constexpr std::uint8_t kGetReport = 0x01;
inline constexpr std::uint8_t kGetIdle = 0x02;
inline constexpr std::uint8_t kGetProtocol = 0x03;
inline constexpr std::uint8_t kSetReport = 0x09;
inline constexpr std::uint8_t kSetIdle = 0x0A;
inline constexpr std::uint8_t kSetProtocol = 0x0B;
inline constexpr std::uint8_t kDirectionIn = 0x80;  // bit of bmRequestType
inline constexpr std::uint8_t kTypeMask = 0x60;
inline constexpr std::uint8_t kTypeStandard = 0x00;
inline constexpr std::uint8_t kTypeClass = 0x20;
}  // namespace request

inline constexpr std::uint8_t kHidDescriptorType = 0x21;
inline constexpr std::uint8_t kReportDescriptorType = 0x22;
// wValue high byte of GET_REPORT / SET_REPORT.
inline constexpr std::uint8_t kInputReportType = 1;
inline constexpr std::uint8_t kOutputReportType = 2;
inline constexpr std::uint8_t kFeatureReportType = 3;

// The report descriptor of one interface (0..3); empty for another number.
std::vector<std::uint8_t> reportDescriptor(int interface);

// The FunctionFS descriptor blob (format v2) with full-speed and high-speed sets.
std::vector<std::uint8_t> functionFsDescriptors();
// The FunctionFS strings blob: no strings, no languages.
std::vector<std::uint8_t> functionFsStrings();

}  // namespace tavrik::sim::usb
