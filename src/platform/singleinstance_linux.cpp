#include "singleinstance.h"

#include <QSharedMemory>

bool claimSingleInstance(QSharedMemory &segment)
{
    // A System V segment outlives a copy that crashed. Attaching and detaching a probe removes it
    // when nobody else is attached; a running copy stays attached, so its segment survives.
    {
        QSharedMemory probe(segment.key());
        if (probe.attach(QSharedMemory::ReadOnly))
            probe.detach();
    }
    return segment.create(1, QSharedMemory::ReadWrite);
}
