#include "singleinstance.h"

#include <QSharedMemory>

bool claimSingleInstance(QSharedMemory &segment)
{
    // Windows frees the segment with its last handle, so a crashed copy leaves nothing behind.
    return segment.create(1, QSharedMemory::ReadWrite);
}
