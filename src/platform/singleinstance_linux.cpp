#include "singleinstance.h"

#include <QFile>
#include <QSharedMemory>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Qt only attaches where the key file exists, but makes the file when it creates: with the file
// gone (a cleaned temporary folder) a probe would see nothing, and the new file's system key,
// built from part of its inode number, could meet a segment left under an old one.
void makeKeyFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0640);
    if (fd >= 0)
        ::close(fd);
}

} // namespace

bool claimSingleInstance(QSharedMemory &segment)
{
    // A System V segment outlives a copy that crashed. Attaching and detaching a probe removes it
    // when nobody else is attached; a running copy stays attached, so its segment survives.
    makeKeyFile(segment.nativeKey());
    {
        QSharedMemory probe(segment.key());
        if (probe.attach(QSharedMemory::ReadOnly))
            probe.detach();
    }
    return segment.create(1, QSharedMemory::ReadWrite);
}
