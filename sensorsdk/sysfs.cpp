#include "sysfs.h"

#include "parse.h"

#include <algorithm>
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
    // One read: a sysfs attribute arrives whole, and anything longer than a number is not one.
    constexpr std::size_t limit = 64;
    const auto text = readHead(path, limit + 1);
    if (!text || text->size() > limit)
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
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

double monotonicSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace sensorsdk
