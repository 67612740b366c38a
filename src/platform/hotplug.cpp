#include "platform/hotplug.h"

bool isDisplayDevicePath(const QString &path)
{
    return path.contains(QLatin1String("5131")) && path.contains(QLatin1String("2007"));
}
