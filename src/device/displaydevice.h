#pragma once

#include <QString>

// True when a device path names the display device: it holds its vendor and product ID as hex
// digits ("5131" and "2007") anywhere.
bool isDisplayDevicePath(const QString &path);
