#include "childhome.h"

#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrun::test {

namespace {

QString folderFor(const ChildHomeOptions &options)
{
    const QString parent = options.parentFolder.isEmpty() ? QDir::tempPath() : options.parentFolder;
    return parent + QLatin1Char('/') + options.namePrefix + QStringLiteral("-XXXXXX");
}

} // namespace

ChildHome::ChildHome(const ChildHomeOptions &options)
    : dir(folderFor(options))
    , childEnvironment(QProcessEnvironment::systemEnvironment())
{
    for (const char *sub : {"/.config", "/.local/share", "/.cache", "/tmp", "/runtime"})
        QDir().mkpath(path() + QLatin1String(sub));
    // The runtime folder must be the user's alone, or Qt refuses it.
    QFile::setPermissions(path() + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    childEnvironment.insert(QStringLiteral("HOME"), path());
    childEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    childEnvironment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    childEnvironment.insert(QStringLiteral("XDG_CACHE_HOME"), path() + QStringLiteral("/.cache"));
    childEnvironment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
    childEnvironment.insert(QStringLiteral("TMPDIR"), tempFolder());
    if (options.offscreen)
        childEnvironment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
}

QString ChildHome::logFolder(const QString &programName) const
{
    return dataHome() + QLatin1Char('/') + programName + QStringLiteral("/logDir");
}

QString ChildHome::placeProgram(const QString &program)
{
    QString copy = path() + QLatin1Char('/') + QFileInfo(program).fileName();
    if (!QFile::copy(program, copy) || !QDir().mkpath(configDir()))
        return QString();
    return copy;
}

bool ChildHome::singleInstanceGuardLeft() const
{
    // The mark lives in the runtime folder: look for it in the child's.
    const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray ownRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder()));
    SingleInstanceGuard guard;
    const bool held = guard.claim() != SingleInstanceGuard::Claim::Taken;
    if (hadRuntime)
        qputenv("XDG_RUNTIME_DIR", ownRuntime);
    else
        qunsetenv("XDG_RUNTIME_DIR");
    return held;
}

} // namespace kestrun::test
