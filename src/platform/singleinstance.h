#pragma once

#include <QString>

class QSharedMemory;

// Key of the 1-byte segment that marks a running copy of the program.
inline QString singleInstanceKey()
{
    return QStringLiteral("Orvanel_V2.0");
}

// Takes the single-instance segment (create with 1 byte, read-write). Returns false when another
// copy holds it. The segment stays taken while `segment` lives and is attached.
bool claimSingleInstance(QSharedMemory &segment);
