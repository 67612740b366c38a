#pragma once

#include <QtGlobal>

#include <optional>

class QByteArray;

// Physical memory as the update cycle shows it and sends it to the display.
struct MemoryFigures {
    quint32 memoryLoad = 0; // percent of physical memory in use
    quint64 totalPhys = 0;  // bytes
    quint64 availPhys = 0;  // bytes
};

// The system drive: the file system the operating system runs from.
struct DriveFigures {
    quint64 totalBytes = 0;
    quint64 totalFreeBytes = 0;
};

// Current memory figures; all zero when the system does not answer.
MemoryFigures queryMemory();

// Figures of the system drive, or nothing when no drive qualifies.
std::optional<DriveFigures> querySystemDrive();

// Reads the text of /proc/meminfo. Missing fields count as 0; a zero total gives a load of 0.
MemoryFigures parseMeminfo(const QByteArray &text);
