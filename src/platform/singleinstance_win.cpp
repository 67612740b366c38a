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

SingleInstanceGuard::SingleInstanceGuard(const QString &key)
    : m_key(key)
{
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

SingleInstanceGuard::Claim SingleInstanceGuard::claim()
{
    if (m_hold)
        return Claim::Taken;
    auto hold = std::make_unique<Hold>(m_key);
    if (!hold->segment.create(1, QSharedMemory::ReadWrite)) {
        if (hold->segment.error() == QSharedMemory::AlreadyExists)
            return Claim::HeldByAnotherCopy;
        m_problem = hold->segment.errorString();
        return Claim::Failed;
    }
    m_hold = std::move(hold);
    m_problem.clear();
    return Claim::Taken;
}
