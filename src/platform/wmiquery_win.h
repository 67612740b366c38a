#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

#include <windows.h>
#include <wbemidl.h>

// The local machine's WMI (namespace root\cimv2) asked through COM: the same classes the wmic
// tool reads, without the tool, which current Windows no longer installs and whose start costs
// seconds per query.

// A value as wmic prints it: text as it is, numbers in decimal (unsigned where the class
// declares them so, although COM carries 32-bit ones as signed), TRUE or FALSE, nothing for
// NULL; other kinds as COM converts them to text.
QString wmiValueText(const VARIANT &value, CIMTYPE type);

// One connection, on the calling thread (it joins, or starts, that thread's COM apartment).
// Not copyable; everything it holds is released when it goes.
class WmiConnection
{
public:
    WmiConnection();
    ~WmiConnection();
    WmiConnection(const WmiConnection &) = delete;
    WmiConnection &operator=(const WmiConnection &) = delete;

    // False when WMI could not be reached; every query then gives no rows.
    bool isConnected() const;

    // "SELECT <properties> FROM <className> [WHERE <condition>]": one row per object, each the
    // values of `properties` in that order. The objects are taken one by one as WMI delivers
    // them; those not delivered when the deadline passes are left out. A failed query gives
    // no rows.
    QVector<QStringList> select(const QString &className, const QStringList &properties, const QString &condition,
                                const QDeadlineTimer &deadline) const;

private:
    struct State;
    std::unique_ptr<State> d;
};
