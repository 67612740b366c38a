#pragma once

// The WM_DEVICECHANGE records of Windows, read and written as plain bytes so the same code runs
// and is tested on every system. Free of Qt and of Windows headers on purpose.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace devicebroadcast {

constexpr unsigned kWmDeviceChange = 0x0219;
constexpr std::uintptr_t kDeviceArrival = 0x8000;        // DBT_DEVICEARRIVAL
constexpr std::uintptr_t kDeviceRemoveComplete = 0x8004; // DBT_DEVICEREMOVECOMPLETE
constexpr std::uint32_t kDeviceInterfaceType = 5;        // DBT_DEVTYP_DEVICEINTERFACE

// DEV_BROADCAST_DEVICEINTERFACE_W: size, device type, reserved, class GUID, then the
// NUL-terminated UTF-16 device name.
constexpr std::size_t kFilterSize = 32;
constexpr std::size_t kGuidOffset = 12;
constexpr std::size_t kNameOffset = 28;

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::array<std::uint8_t, 8> data4;
};

// The interface classes watched, in the order they are registered. The HID class is the one
// whose interface paths hidapi opens: only its removal names the open link's own interface (the
// USB device's path names the parent device, with an instance ID of its own).
constexpr Guid kUsbDeviceInterface{0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
constexpr Guid kDiskInterface{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
constexpr Guid kHidInterface{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
constexpr std::array<Guid, 3> kWatchedClasses{kUsbDeviceInterface, kDiskInterface, kHidInterface};

// The registration filter for one class: all zero but size, device type and class GUID,
// laid out as Windows reads it (little-endian).
std::array<unsigned char, kFilterSize> interfaceFilter(const Guid &classGuid);

enum class DeviceChangeKind { None, Arrival, Removal };

struct DeviceChange {
    DeviceChangeKind kind = DeviceChangeKind::None;
    std::u16string path;
};

// Reads one WM_DEVICECHANGE: event is its wParam, record its lParam. Only arrivals and
// completed removals of device interfaces count; anything else gives kind None and the record is
// not read. The record's own size field bounds the read, and so does available when the caller
// knows how many bytes are readable at record.
DeviceChange parseDeviceChange(std::uintptr_t event, const unsigned char *record, std::size_t available = SIZE_MAX);

// True when two device interface paths name the same interface. Windows compares them without
// regard to case, and a notification's name and the path hidapi lists for the same interface
// may differ in case; an empty path names nothing.
bool sameInterfacePath(const std::u16string &a, const std::u16string &b);

} // namespace devicebroadcast
