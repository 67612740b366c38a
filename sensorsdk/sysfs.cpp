#include "sysfs.h"

#include "parse.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace sensorsdk {

namespace {

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct DirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

// Kept descriptors reserved by the KeptFiles alive in the process.
std::atomic<int> keptOpenCount{0};

bool reserveKeptDescriptor()
{
    int count = keptOpenCount.load();
    while (count < KeptFile::kKeptOpenLimit) {
        if (keptOpenCount.compare_exchange_weak(count, count + 1))
            return true;
    }
    return false;
}

// The number a sysfs integer attribute holds; anything longer than a number is not one.
constexpr std::size_t kIntegerLimit = 64;

} // namespace

std::optional<std::string> readText(const std::string &path, std::size_t maxBytes)
{
    const FdCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > maxBytes)
            return std::nullopt;
    }
    return text;
}

std::optional<std::string> readHead(const std::string &path, std::size_t maxBytes)
{
    const FdCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return std::nullopt;
    std::string text(maxBytes, '\0');
    ssize_t got = 0;
    do {
        got = ::read(file.fd, text.data(), maxBytes);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::optional<long long> readInteger(const std::string &path)
{
    // One read: a sysfs attribute arrives whole.
    const auto text = readHead(path, kIntegerLimit + 1);
    if (!text || text->size() > kIntegerLimit)
        return std::nullopt;
    return parseInteger(*text);
}

std::string linkTargetName(const std::string &path)
{
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    const std::string text(target, static_cast<std::size_t>(length));
    const auto slash = text.find_last_of('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::vector<std::string> folderEntries(const std::string &path)
{
    std::vector<std::string> names;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool exists(const std::string &path)
{
    struct stat info {
    };
    return ::stat(path.c_str(), &info) == 0;
}

double monotonicSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

KeptFile::KeptFile(std::string filePath)
    : path(std::move(filePath))
    , kept(reserveKeptDescriptor())
{
    if (!kept)
        return;
    open();
    if (fd < 0)
        readsBeforeOpen = kFailedReadsPerOpen - 1;
}

KeptFile::~KeptFile()
{
    close();
    if (kept)
        keptOpenCount.fetch_sub(1);
}

std::optional<std::string_view> KeptFile::head(std::size_t maxBytes)
{
    return read(maxBytes, false);
}

std::optional<std::string_view> KeptFile::whole(std::size_t maxBytes)
{
    return read(maxBytes, true);
}

std::optional<long long> KeptFile::integer()
{
    const auto text = head(kIntegerLimit + 1);
    if (!text || text->size() > kIntegerLimit)
        return std::nullopt;
    return parseInteger(*text);
}

std::optional<double> KeptFile::decimal()
{
    const auto text = head(kIntegerLimit + 1);
    if (!text || text->size() > kIntegerLimit)
        return std::nullopt;
    return parseDecimal(*text);
}

std::optional<std::string_view> KeptFile::read(std::size_t maxBytes, bool whole)
{
    if (fd >= 0 && readFromStart(maxBytes, whole)) {
        readsBeforeOpen = 0;
        if (!kept)
            close();
        return std::string_view(buffer.data(), length);
    }
    if (readsBeforeOpen > 0) {
        --readsBeforeOpen;
        return std::nullopt;
    }
    open();
    if (fd >= 0 && readFromStart(maxBytes, whole)) {
        if (!kept)
            close();
        return std::string_view(buffer.data(), length);
    }
    readsBeforeOpen = kFailedReadsPerOpen - 1;
    if (!kept)
        close();
    return std::nullopt;
}

bool KeptFile::readFromStart(std::size_t maxBytes, bool whole)
{
    // One byte more than a whole file may have tells a file that is too long.
    const std::size_t room = whole ? maxBytes + 1 : maxBytes;
    if (!whole && buffer.size() < room)
        buffer.resize(room);
    length = 0;
    while (length < room) {
        // A whole file's buffer grows as the file needs it, and stays for the next read.
        if (length == buffer.size())
            buffer.resize(std::min(room, std::max<std::size_t>(2 * length, 4096)));
        const std::size_t space = std::min(buffer.size(), room) - length;
        const ssize_t part = ::pread(fd, buffer.data() + length, space, static_cast<off_t>(length));
        if (part < 0 && errno == EINTR)
            continue;
        if (part < 0)
            return false;
        if (part == 0)
            break;
        length += static_cast<std::size_t>(part);
        if (!whole)
            break;
    }
    return length > 0 && !(whole && length > maxBytes);
}

void KeptFile::open()
{
    close();
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
}

void KeptFile::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace sensorsdk
