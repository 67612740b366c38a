#include "sensortestsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

namespace kestrun::test {

namespace {
std::mutex g_messagesMutex;
QStringList g_messages;
QtMessageHandler g_previousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        return;
    std::lock_guard<std::mutex> lock(g_messagesMutex);
    g_messages.append(message);
}
} // namespace

DebugCapture::DebugCapture()
{
    take();
    g_previousHandler = qInstallMessageHandler(collect);
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(g_previousHandler);
}

QStringList DebugCapture::take()
{
    std::lock_guard<std::mutex> lock(g_messagesMutex);
    QStringList messages;
    messages.swap(g_messages);
    return messages;
}

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    char path[] = "/tmp/kestrun-stdout-XXXXXX";
    file = mkstemp(path);
    unlink(path);
    saved = dup(STDOUT_FILENO);
    dup2(file, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    // What was not taken, such as the test's own failure reports, goes on to the real output.
    const QByteArray rest = take();
    dup2(saved, STDOUT_FILENO);
    if (write(STDOUT_FILENO, rest.constData(), static_cast<size_t>(rest.size())) < 0)
        perror("stdout");
    close(saved);
    close(file);
}

QByteArray StdoutCapture::take()
{
    std::fflush(stdout);
    QByteArray text;
    char buffer[4096];
    lseek(file, 0, SEEK_SET);
    for (ssize_t n; (n = read(file, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<int>(n));
    if (ftruncate(file, 0) != 0)
        text.append("<cannot empty the capture>");
    lseek(file, 0, SEEK_SET);
    return text;
}

QString snapshotMismatch(const SensorSnapshot &actual, const FieldValues &expected)
{
    SensorSnapshot want;
    for (const auto &[member, value] : expected)
        want.*member = value;
    QStringList differences;
    for (const auto &[name, member] : kSensorSnapshotFields) {
        if (actual.*member != want.*member)
            differences << QStringLiteral("%1 is %2, expected %3").arg(name).arg(actual.*member).arg(want.*member);
    }
    return differences.join(QStringLiteral("; "));
}

std::optional<StandinStats> loadedStandinStats()
{
    void *library = dlopen("libsensorsdk.so", RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return std::nullopt;
    auto stats = reinterpret_cast<StandinStatsFn>(dlsym(library, "standinStats"));
    dlclose(library); // only drops the reference taken here; the loader keeps its own
    if (!stats)
        return std::nullopt;
    return stats();
}

void releaseStandinHangs()
{
    void *library = dlopen("libsensorsdk.so", RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return;
    if (auto release = reinterpret_cast<StandinReleaseHangsFn>(dlsym(library, "standinReleaseHangs")))
        release();
    dlclose(library);
}

void useScenario(const QString &text)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scenario.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text.toUtf8());
    qputenv("KESTRUN_SDK_SCENARIO", QFile::encodeName(path));
}

} // namespace kestrun::test
