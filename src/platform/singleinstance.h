#pragma once

#include <QString>

#include <memory>

// The name of the mark of a running copy of the program.
inline QString singleInstanceKey()
{
    return QStringLiteral("Orvanel_V2.0");
}

// The mark of a running copy, one per user session: another user's copy, running or crashed, never
// counts. Held for as long as the object lives; the system drops it when the process ends, however
// it ends, so a crashed copy leaves nothing behind.
class SingleInstanceGuard
{
public:
    enum class Claim {
        Taken,
        HeldByAnotherCopy,
        // Neither: the mark could not be made (the reason is in problem()).
        Failed,
    };

    explicit SingleInstanceGuard(const QString &key = singleInstanceKey());
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    Claim claim();
    QString problem() const { return failure; }

private:
    struct Hold;
    QString key;
    std::unique_ptr<Hold> hold;
    QString failure;
};
