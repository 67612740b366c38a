#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace kestrun::test {

struct ChildHomeOptions {
    // Where the home is made (the temporary folder when empty), and the start of its name.
    QString parentFolder;
    QString namePrefix = QStringLiteral("kestrun-child");
    // False keeps the test's own platform, for a child that needs the real X display.
    bool offscreen = true;
};

// A home of its own for a program that a test (or a benchmark) starts as a child: HOME, the XDG
// folders (config, data, cache, and a private runtime folder) and TMPDIR point into a fresh
// folder, on the offscreen platform. The runtime folder also holds the program's single-instance
// mark, so a copy started elsewhere on the machine never makes this one give way. Everything else, the
// sanitizer options and the umockdev preload included, is the starting process's own. The
// folder goes with the object.
class ChildHome
{
public:
    explicit ChildHome(const ChildHomeOptions &options = {});
    ChildHome(const ChildHome &) = delete;
    ChildHome &operator=(const ChildHome &) = delete;

    bool isValid() const { return dir.isValid(); }
    QString path() const { return dir.path(); }
    QString configHome() const { return path() + QStringLiteral("/.config"); }
    QString dataHome() const { return path() + QStringLiteral("/.local/share"); }
    QString tempFolder() const { return path() + QStringLiteral("/tmp"); }
    QString runtimeFolder() const { return path() + QStringLiteral("/runtime"); }
    // The log folder of a program with this home: its application name is its file's base name.
    QString logFolder(const QString &programName = QStringLiteral("kestrun")) const;

    // The environment to start the child with, and changes to it.
    QProcessEnvironment environment() const { return childEnvironment; }
    void setValue(const QString &name, const QString &value) { childEnvironment.insert(name, value); }
    void removeValue(const QString &name) { childEnvironment.remove(name); }

    // A copy of the program in the home, with an empty configDir beside it: the program reads its
    // branding from there, once per process. Returns the copy's path, empty when it failed.
    QString placeProgram(const QString &program);
    QString configDir() const { return path() + QStringLiteral("/configDir"); }

    // Whether a copy run with this home holds the single-instance mark.
    bool singleInstanceGuardLeft() const;

    // Leaves the folder in place, for a look after a failed run.
    void keep() { dir.setAutoRemove(false); }

private:
    QTemporaryDir dir;
    QProcessEnvironment childEnvironment;
};

} // namespace kestrun::test
