#include "platform/devicebroadcast.h"

#include <algorithm>

namespace devicebroadcast {

namespace {
void putLittleEndian(unsigned char *out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

char16_t foldCase(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
}

std::uint32_t readUint32(const unsigned char *in)
{
    return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16 | std::uint32_t(in[3]) << 24;
}
} // namespace

std::array<unsigned char, kFilterSize> interfaceFilter(const Guid &classGuid)
{
    std::array<unsigned char, kFilterSize> filter{};
    putLittleEndian(&filter[0], kFilterSize, 4);
    putLittleEndian(&filter[4], kDeviceInterfaceType, 4);
    unsigned char *guid = &filter[kGuidOffset];
    putLittleEndian(guid, classGuid.data1, 4);
    putLittleEndian(guid + 4, classGuid.data2, 2);
    putLittleEndian(guid + 6, classGuid.data3, 2);
    std::copy(classGuid.data4.begin(), classGuid.data4.end(), guid + 8);
    return filter;
}

DeviceChange parseDeviceChange(std::uintptr_t event, const unsigned char *record, std::size_t available)
{
    DeviceChange change;
    if ((event != kDeviceArrival && event != kDeviceRemoveComplete) || !record || available < 8)
        return change;
    const std::size_t size = std::min<std::size_t>(readUint32(record), available);
    if (size < kNameOffset || readUint32(record + 4) != kDeviceInterfaceType)
        return change;
    for (std::size_t at = kNameOffset; at + 1 < size; at += 2) {
        const char16_t unit = char16_t(record[at] | record[at + 1] << 8);
        if (unit == 0)
            break;
        change.path.push_back(unit);
    }
    change.kind = event == kDeviceArrival ? DeviceChangeKind::Arrival : DeviceChangeKind::Removal;
    return change;
}

bool sameInterfacePath(const std::u16string &a, const std::u16string &b)
{
    return !a.empty() && a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
        return foldCase(x) == foldCase(y);
    });
}

} // namespace devicebroadcast
