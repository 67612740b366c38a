#include "device/displaydevice.h"

#include "device/displayids.h"

bool isDisplayDevicePath(const QString &path)
{
    return path.contains(QLatin1String(kDisplayVendorHex)) && path.contains(QLatin1String(kDisplayProductHex));
}
