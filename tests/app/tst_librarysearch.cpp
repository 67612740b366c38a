// Where the built programs take their libraries from: their own folder and the system's, never
// the folder they are started from.

#include "childprogram.h"
#include "testenv.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <elf.h>
#include <optional>
#include <vector>

using namespace kestrun::test;

namespace {

// The library search paths a linked 64-bit ELF file (executable or shared library) carries:
// DT_RUNPATH and DT_RPATH texts, none when it has neither. Nothing when the file is no such object.
std::optional<QList<QByteArray>> librarySearchPaths(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < qint64(sizeof(Elf64_Ehdr)))
        return std::nullopt;
    const quint64 size = quint64(file.size());
    const uchar *data = file.map(0, file.size());
    if (!data)
        return std::nullopt;
    const auto within = [size](quint64 offset, quint64 length) { return offset <= size && length <= size - offset; };
    Elf64_Ehdr header;
    std::memcpy(&header, data, sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64
        || (header.e_type != ET_EXEC && header.e_type != ET_DYN) || header.e_shentsize != sizeof(Elf64_Shdr)
        || !within(header.e_shoff, quint64(header.e_shnum) * sizeof(Elf64_Shdr)))
        return std::nullopt;
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    std::memcpy(sections.data(), data + header.e_shoff, sections.size() * sizeof(Elf64_Shdr));

    QList<QByteArray> paths;
    for (const Elf64_Shdr &section : sections) {
        if (section.sh_type != SHT_DYNAMIC || section.sh_link >= sections.size())
            continue;
        const Elf64_Shdr &strings = sections[section.sh_link];
        if (!within(section.sh_offset, section.sh_size) || !within(strings.sh_offset, strings.sh_size))
            return std::nullopt;
        for (quint64 at = 0; at + sizeof(Elf64_Dyn) <= section.sh_size; at += sizeof(Elf64_Dyn)) {
            Elf64_Dyn entry;
            std::memcpy(&entry, data + section.sh_offset + at, sizeof entry);
            if (entry.d_tag == DT_NULL)
                break;
            if ((entry.d_tag != DT_RUNPATH && entry.d_tag != DT_RPATH) || entry.d_un.d_val >= strings.sh_size)
                continue;
            const char *text = reinterpret_cast<const char *>(data + strings.sh_offset + entry.d_un.d_val);
            paths << QByteArray(text, int(qstrnlen(text, uint(strings.sh_size - entry.d_un.d_val))));
        }
    }
    return paths;
}

// What is unsafe in a search path: an empty entry or a relative one (both name the current
// folder); for an installed copy also anything outside the program's own folder.
QByteArray searchPathFault(const QByteArray &path, bool installed)
{
    for (const QByteArray &entry : path.split(':')) {
        const bool ownFolder = entry.startsWith("$ORIGIN") || entry.startsWith("${ORIGIN}");
        if (entry.isEmpty())
            return "an empty entry";
        if (!ownFolder && !entry.startsWith('/'))
            return "the relative entry " + entry;
        if (installed && !ownFolder)
            return "the entry " + entry + ", outside the program's folder";
    }
    return {};
}

// Every ELF object below root with its faults; found lists the files looked at.
QStringList searchPathFaults(const QString &root, bool installed, QStringList *found)
{
    QStringList faults;
    QDirIterator it(root, QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const std::optional<QList<QByteArray>> paths = librarySearchPaths(path);
        if (!paths)
            continue;
        *found << QDir(root).relativeFilePath(path);
        for (const QByteArray &searchPath : *paths) {
            const QByteArray fault = searchPathFault(searchPath, installed);
            if (!fault.isEmpty())
                faults
                    << QStringLiteral("%1 [%2]: %3").arg(path, QString::fromUtf8(searchPath), QString::fromUtf8(fault));
        }
    }
    return faults;
}

} // namespace

class TestLibrarySearch : public QObject
{
    Q_OBJECT

private slots:
    void plantedLibrariesAreNotLoaded_data();
    void plantedLibrariesAreNotLoaded();
    void everyBinarySearchesOnlyItsOwnAndTheSystemsFolders();
};

void TestLibrarySearch::plantedLibrariesAreNotLoaded_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("planted");
    // Libraries each one links (hidapi; libgcc_s, found after the sensor library beside the tool)
    // and the sensor library the program opens by name.
    QTest::newRow("kestrun") << QStringLiteral(KESTRUN_PROGRAM) << QStringList()
                             << QStringList{"libhidapi-hidraw.so.0", "libsensorsdk.so"};
    QTest::newRow("kestrun-sensors") << QStringLiteral(KESTRUN_TOOL) << QStringList{"--once"}
                                     << QStringList{"libgcc_s.so.1", "libsensorsdk.so"};
}

void TestLibrarySearch::plantedLibrariesAreNotLoaded()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, planted);
    QTemporaryDir startFolder;
    for (const QString &name : planted)
        QVERIFY(QFile::copy(QStringLiteral(KESTRUN_PLANTED_DIR "/") + name, startFolder.filePath(name)));

    ChildProgram child(program);
    const QString mark = child.homePath() + "/planted-loaded";
    child.setEnvironmentValue("KESTRUN_PLANTED_MARK", mark);
    child.setWorkingDirectory(startFolder.path());
    QVERIFY(child.start(arguments));
    bool ran = true;
    QByteArray maps;
    if (arguments.isEmpty()) {
        // Once the program has tried its sensor library, every library it takes is loaded.
        ran = child.waitForLog("HWi32SDK init Over", kProgramStartMs);
        QFile mapsFile(QStringLiteral("/proc/%1/maps").arg(child.process().processId()));
        if (ran && mapsFile.open(QIODevice::ReadOnly))
            maps = mapsFile.readAll();
        child.sendSignal(SIGTERM);
    }
    const bool ended = child.endsWith(0, 30000);

    QFile loaded(mark);
    QVERIFY2(!loaded.exists(), loaded.open(QIODevice::ReadOnly) ? loaded.readAll().constData() : "?");
    QVERIFY2(ran && ended, child.describe().constData());
    QVERIFY2(!maps.contains(QFile::encodeName(startFolder.path())), maps.constData());
}

void TestLibrarySearch::everyBinarySearchesOnlyItsOwnAndTheSystemsFolders()
{
    QStringList built;
    const QStringList buildFaults = searchPathFaults(QStringLiteral(KESTRUN_BUILD_DIR), false, &built);
    QVERIFY(built.contains("kestrun"));
    QVERIFY(built.contains("kestrun-sensors"));
    QVERIFY(built.contains("libsensorsdk.so"));

    // The installed copy, as `cmake --install` lays it out.
    QTemporaryDir prefix;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(KESTRUN_CMAKE),
                  {"--install", QStringLiteral(KESTRUN_BUILD_DIR), "--prefix", prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0, install.readAll().constData());
    QStringList installed;
    const QStringList installFaults = searchPathFaults(prefix.path(), true, &installed);
    QCOMPARE(installed.filter("kestrun/").size(), 3); // the program, the tool and the sensor library

    const QStringList faults = buildFaults + installFaults;
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

KESTRUN_TEST_MAIN(TestLibrarySearch)
#include "tst_librarysearch.moc"
