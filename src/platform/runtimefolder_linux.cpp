#include "runtimefolder.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Another user's folder (or one others may write into) could hold a lock or a socket that is not
// ours; the lock would then keep us out, or the call would reach a stranger's program.
bool isPrivateFolder(const QString &folder, QString *problem)
{
    struct stat info {
    };
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0) {
        *problem = folder + QStringLiteral(": ") + systemError(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *problem = folder + QStringLiteral(": not a folder");
        return false;
    }
    if (info.st_uid != ::getuid()) {
        *problem = folder + QStringLiteral(": owned by another user");
        return false;
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        *problem = folder + QStringLiteral(": open to other users");
        return false;
    }
    return true;
}

} // namespace

QString userRuntimeFolder(QString *problem)
{
    const QString given = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!given.isEmpty())
        return isPrivateFolder(given, problem) ? given : QString();

    const QString own = QDir::tempPath() + QStringLiteral("/kestrun-") + QString::number(::getuid());
    // An existing folder stays as it is: its owner and mode are checked, never changed.
    if (::mkdir(QFile::encodeName(own).constData(), 0700) != 0 && errno != EEXIST) {
        *problem = own + QStringLiteral(": ") + systemError(errno);
        return QString();
    }
    return isPrivateFolder(own, problem) ? own : QString();
}
