// Arbitrary sensor floats and system figures through the float-to-int rule and the report encoder.

#include "device/devicereport.h"
#include "hardware/sensorsnapshot.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

float anyFloat(FuzzedDataProvider &in)
{
    float value = 0;
    const auto bytes = in.ConsumeBytes<uint8_t>(sizeof value);
    if (bytes.size() == sizeof value)
        std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

int converted(float value)
{
    const int result = snapshotToInt(value);
    if (std::isnan(value) && result != 0)
        std::abort();
    if (std::isfinite(value) && std::fabs(value) < 2147483520.0f && result != static_cast<int>(std::trunc(value)))
        std::abort();
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    ReportFigures f;
    f.cpuTemperature = converted(anyFloat(in));
    f.cpuUsage = converted(anyFloat(in));
    f.cpuClock = converted(anyFloat(in));
    f.cpuFan = converted(anyFloat(in));
    f.cpuPower = converted(anyFloat(in));
    f.gpuTemperature = converted(anyFloat(in));
    f.gpuUsage = converted(anyFloat(in));
    f.gpuClock = converted(anyFloat(in));
    f.gpuFan = converted(anyFloat(in));
    f.gpuPower = converted(anyFloat(in));
    f.memoryLoad = in.ConsumeIntegral<quint32>();
    f.totalPhys = in.ConsumeIntegral<quint64>();
    if (in.ConsumeBool())
        f.drive = ReportDrive{in.ConsumeIntegral<quint64>(), in.ConsumeIntegral<quint64>()};
    f.fahrenheit = in.ConsumeBool();
    f.date = QDate(in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>());
    f.time = QTime(in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>());

    const DeviceReport report = encodeDeviceReport(f);
    quint8 sum = 0;
    for (int i = 1; i < 30; ++i)
        sum = static_cast<quint8>(sum + report[i]);
    if (report[0] != 0 || report[1] != 0x40 || report[30] != sum)
        std::abort();
    for (std::size_t i = 31; i < report.size(); ++i) {
        if (report[i] != 0)
            std::abort();
    }
    return 0;
}
