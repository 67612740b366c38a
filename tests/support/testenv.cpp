#include "testenv.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace kestrun::test {

namespace {
std::unique_ptr<QTemporaryDir> &home()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void isolateHome()
{
    home() = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kestrun-test-home-XXXXXX");
    const QByteArray root = home()->path().toLocal8Bit();
    const struct {
        const char *name;
        const char *sub;
    } vars[] = {
        {"HOME", ""},
        {"XDG_CONFIG_HOME", "/.config"},
        {"XDG_DATA_HOME", "/.local/share"},
        {"XDG_CACHE_HOME", "/.cache"},
    };
    for (const auto &v : vars) {
        const QByteArray path = root + v.sub;
        QDir().mkpath(QString::fromLocal8Bit(path));
        qputenv(v.name, path);
    }
    // The QTemporaryDir is a function-local static: it removes the folder when the process exits.
}

QString homePath()
{
    return home() ? home()->path() : QString();
}

} // namespace kestrun::test
