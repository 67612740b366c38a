#include "singleinstance.h"

#include <QSharedMemory>

// A named segment: Windows keeps its name within the session and frees it with its last handle,
// so a crashed copy leaves nothing behind and other sessions never see it.
struct SingleInstanceGuard::Hold {
    explicit Hold(const QString &key)
        : segment(key)
    {
    }
    QSharedMemory segment;
};

SingleInstanceGuard::SingleInstanceGuard(const QString &instanceKey)
    : key(instanceKey)
{
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

SingleInstanceGuard::Claim SingleInstanceGuard::claim()
{
    if (hold)
        return Claim::Taken;
    auto held = std::make_unique<Hold>(key);
    if (!held->segment.create(1, QSharedMemory::ReadWrite)) {
        if (held->segment.error() == QSharedMemory::AlreadyExists)
            return Claim::HeldByAnotherCopy;
        failure = held->segment.errorString();
        return Claim::Failed;
    }
    hold = std::move(held);
    failure.clear();
    return Claim::Taken;
}
