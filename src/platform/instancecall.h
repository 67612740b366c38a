#pragma once

#include <QObject>
#include <QString>

#include <memory>

// How a later start of the same user reaches the running copy: the running copy listens, a later
// start asks it to show its window before it gives way. The channel belongs to the user's session,
// like the single-instance mark, and is opened only by the copy that holds that mark.
class InstanceCallListener : public QObject
{
    Q_OBJECT
public:
    explicit InstanceCallListener(const QString &key, QObject *parent = nullptr);
    ~InstanceCallListener() override;

    // Opens the channel; false (with the reason in problem()) when it cannot be opened.
    bool listen();
    QString problem() const { return failure; }

signals:
    void sigShowRequested();

private:
    struct Channel;
    const QString key;
    std::unique_ptr<Channel> channel;
    QString failure;
};

// Asks the running copy to show its window; false when no copy could be reached.
bool askRunningCopyToShow(const QString &key);
