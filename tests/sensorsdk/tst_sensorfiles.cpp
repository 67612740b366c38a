// The sensor library's kept-open file reads, on real files: what each read sees, how a file that
// goes away is found again, and the limit on kept descriptors.

#include "sysfs.h"
#include "testenv.h"

#include <QTemporaryDir>

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <unistd.h>
#include <vector>

using sensorsdk::KeptFile;

namespace {

// Rewrites the file in place, as sysfs shows a new value: the same file, new contents.
void write(const std::string &path, const std::string &contents)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

// Removes the file as sysfs removes a driver's files: a reader still holding it reads nothing more.
void goAway(const std::string &path)
{
    QCOMPARE(::truncate(path.c_str(), 0), 0);
    QCOMPARE(std::remove(path.c_str()), 0);
}

int openDescriptors()
{
    int count = 0;
    if (DIR *dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir))
            ++count;
        ::closedir(dir);
    }
    return count;
}

} // namespace

class TestSensorFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    std::string path(const char *name) const { return folder.filePath(name).toStdString(); }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    // Every read sees the file's contents of the moment, from the file opened at the start, not
    // from whatever is at the path later.
    void readsTheOpenedFileAfresh()
    {
        const std::string value = path("temp1_input");
        write(value, "45000\n");
        KeptFile file(value);
        QVERIFY(file.keptOpen());
        QCOMPARE(file.integer(), std::optional<long long>(45000));
        write(value, "46500\n");
        QCOMPARE(file.integer(), std::optional<long long>(46500));
        QCOMPARE(file.decimal(), std::optional<double>(46500));

        const std::string moved = path("temp1_input.moved");
        QCOMPARE(std::rename(value.c_str(), moved.c_str()), 0);
        write(value, "50000\n");
        QCOMPARE(file.integer(), std::optional<long long>(46500));
        // The opened file fails: the path is opened again at once.
        QCOMPARE(::truncate(moved.c_str(), 0), 0);
        QCOMPARE(file.integer(), std::optional<long long>(50000));
        write(value, "garbage\n");
        QCOMPARE(file.integer(), std::optional<long long>());
        QCOMPARE(file.head(64), std::optional<std::string_view>("garbage\n"));
    }

    // A file that goes away gives nothing from then on; back at its path it is found again at the
    // fifth read after the failure, and every failing read in between costs no open.
    void fileThatGoesAndComesBack()
    {
        const std::string value = path("power1_average");
        write(value, "45000000\n");
        KeptFile file(value);
        QCOMPARE(file.integer(), std::optional<long long>(45000000));
        goAway(value);
        QCOMPARE(file.integer(), std::optional<long long>());
        write(value, "52000000\n");
        for (int read = 1; read < KeptFile::kFailedReadsPerOpen; ++read)
            QCOMPARE(file.integer(), std::optional<long long>());
        QCOMPARE(file.integer(), std::optional<long long>(52000000));

        // Gone for longer: still looked for at every fifth read.
        goAway(value);
        for (int read = 0; read < 3 * KeptFile::kFailedReadsPerOpen + 2; ++read)
            QCOMPARE(file.integer(), std::optional<long long>());
        write(value, "1\n");
        int reads = 1;
        while (!file.integer() && reads < 2 * KeptFile::kFailedReadsPerOpen)
            ++reads;
        QVERIFY2(reads <= KeptFile::kFailedReadsPerOpen, qPrintable(QString::number(reads)));
    }

    // A file that answers nothing for a while but stays (a driver's passing error) reads again at
    // the first read after it answers.
    void fileThatAnswersNothingForAWhile()
    {
        const std::string value = path("gpu_busy_percent");
        write(value, "12\n");
        KeptFile file(value);
        write(value, "");
        for (int read = 0; read < 3; ++read)
            QCOMPARE(file.integer(), std::optional<long long>());
        write(value, "80\n");
        QCOMPARE(file.integer(), std::optional<long long>(80));
    }

    // A file missing when it is first opened is looked for from the fifth read on.
    void fileMissingAtTheStart()
    {
        const std::string value = path("fan1_input");
        KeptFile file(value);
        write(value, "900\n");
        int reads = 1;
        while (!file.integer() && reads < 2 * KeptFile::kFailedReadsPerOpen)
            ++reads;
        QCOMPARE(reads, KeptFile::kFailedReadsPerOpen);
    }

    // head gives the first bytes; whole the file, read in parts where it is long, and nothing for
    // a file beyond its limit.
    void headAndWhole()
    {
        const std::string value = path("cpuinfo");
        std::string long_text;
        for (int line = 0; long_text.size() < 20000; ++line)
            long_text += "processor\t: " + std::to_string(line) + "\ncpu MHz\t\t: 4300.000\n\n";
        write(value, long_text);
        KeptFile file(value);
        QCOMPARE(file.head(10), std::optional<std::string_view>("processor\t"));
        QCOMPARE(file.whole(long_text.size()), std::optional<std::string_view>(long_text));
        QCOMPARE(file.whole(long_text.size() - 1), std::optional<std::string_view>());
        write(value, "short\n");
        QCOMPARE(file.whole(long_text.size()), std::optional<std::string_view>("short\n"));
        QCOMPARE(file.head(1024), std::optional<std::string_view>("short\n"));
        write(value, std::string(70, '1'));
        QCOMPARE(file.integer(), std::optional<long long>());
    }

    // Beyond the limit, files are opened for each read: they read the same, and the process keeps
    // no more descriptors than the limit.
    void keptDescriptorsAreLimited()
    {
        const std::string value = path("in0_input");
        write(value, "1104\n");
        const int before = openDescriptors();
        std::vector<std::unique_ptr<KeptFile>> files;
        files.reserve(KeptFile::kKeptOpenLimit + 44);
        for (int i = 0; i < KeptFile::kKeptOpenLimit + 44; ++i)
            files.push_back(std::make_unique<KeptFile>(value));
        QCOMPARE(openDescriptors() - before, KeptFile::kKeptOpenLimit);
        int kept = 0;
        for (const auto &file : files) {
            QCOMPARE(file->integer(), std::optional<long long>(1104));
            kept += file->keptOpen() ? 1 : 0;
        }
        QCOMPARE(kept, KeptFile::kKeptOpenLimit);
        QCOMPARE(openDescriptors() - before, KeptFile::kKeptOpenLimit);
        write(value, "1200\n");
        QCOMPARE(files.back()->integer(), std::optional<long long>(1200));
        files.clear();
        QCOMPARE(openDescriptors(), before);
        KeptFile again(value);
        QVERIFY(again.keptOpen());
    }
};

KESTRUN_TEST_MAIN(TestSensorFiles)
#include "tst_sensorfiles.moc"
