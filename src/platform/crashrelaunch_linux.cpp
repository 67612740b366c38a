#include "crashrelaunch.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Everything the handler needs is prepared at install time: inside the handler only
// async-signal-safe calls are allowed.
char g_exePath[PATH_MAX];
int g_thresholdMs = kCrashRelaunchThresholdMs;
// The handler may run on a blown stack; it gets one of its own.
alignas(16) char g_handlerStack[64 * 1024];

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// How long the new copy waits for the crashed one to end (100 × 10 ms), so that the crashed copy
// has let go of the single-instance mark before the new one starts.
constexpr int kParentWaitRounds = 100;

void writeText(const char *text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    while (length > 0) {
        const ssize_t written = write(STDOUT_FILENO, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<size_t>(written);
    }
}

// "CreateProcess failed (<code>).\n", assembled without printf (not async-signal-safe).
void reportRelaunchFailure(int code)
{
    char digits[16];
    int count = 0;
    unsigned value = code < 0 ? 0u - static_cast<unsigned>(code) : static_cast<unsigned>(code);
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    char line[48] = "CreateProcess failed (";
    int at = 22;
    if (code < 0)
        line[at++] = '-';
    while (count > 0)
        line[at++] = digits[--count];
    line[at++] = ')';
    line[at++] = '.';
    line[at++] = '\n';
    line[at] = '\0';
    writeText(line);
}

void closeInheritedFiles()
{
    if (close_range(3, ~0u, 0) == 0)
        return;
    for (int fd = 3; fd < 4096; ++fd)
        close(fd);
}

// A thread's own signal stack, from its first prepareThreadForCrashes to its end. The stack
// overflow of a thread must not need that thread's stack to be handled.
class ThreadSignalStack
{
public:
    ThreadSignalStack()
    {
        stack_t current{};
        // The main thread's, or one a sanitizer gave the thread, serves as well.
        if (sigaltstack(nullptr, &current) != 0 || !(current.ss_flags & SS_DISABLE))
            return;
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t length = page + sizeof(g_handlerStack);
        void *memory = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        if (memory == MAP_FAILED)
            return;
        // A guard page below, so a handler that overruns its stack faults instead of writing on.
        mprotect(memory, page, PROT_NONE);
        stack_t stack{};
        stack.ss_sp = static_cast<char *>(memory) + page;
        stack.ss_size = length - page;
        if (sigaltstack(&stack, nullptr) != 0) {
            munmap(memory, length);
            return;
        }
        mapped = memory;
        mappedLength = length;
    }

    ~ThreadSignalStack()
    {
        if (!mapped)
            return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        munmap(mapped, mappedLength);
    }

    ThreadSignalStack(const ThreadSignalStack &) = delete;
    ThreadSignalStack &operator=(const ThreadSignalStack &) = delete;

private:
    void *mapped = nullptr;
    size_t mappedLength = 0;
};

[[noreturn]] void becomeNewCopy(pid_t crashed)
{
    const struct timespec pause = {0, 10L * 1000 * 1000};
    for (int round = 0; round < kParentWaitRounds && getppid() == crashed; ++round)
        nanosleep(&pause, nullptr);
    // The handler runs with the crash signal blocked, and a blocked mask survives exec.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    closeInheritedFiles();
    char *const argv[] = {g_exePath, nullptr};
    execv(g_exePath, argv);
    reportRelaunchFailure(errno);
    _exit(127);
}

void onCrashSignal(int signalNumber)
{
    struct timespec now {
    };
    clock_gettime(CLOCK_REALTIME, &now);
    const long long ms = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    if (shouldRelaunch(stampFromMSecs(ms), startStamp(), g_thresholdMs)) {
        const pid_t crashed = getpid();
        // _Fork, unlike fork, runs no atfork handlers and may be called here.
        const pid_t child = _Fork();
        if (child == 0)
            becomeNewCopy(crashed);
        if (child < 0)
            reportRelaunchFailure(errno);
    }
    // Let the crash end the process as it would have without us (core dump, exit status).
    struct sigaction fallback {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signalNumber, &fallback, nullptr);
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, signalNumber);
    sigprocmask(SIG_UNBLOCK, &mask, nullptr);
    raise(signalNumber);
}

} // namespace

void prepareThreadForCrashes()
{
    thread_local const ThreadSignalStack stack;
}

bool installCrashRelaunch(int thresholdMs)
{
    const ssize_t length = readlink("/proc/self/exe", g_exePath, sizeof(g_exePath) - 1);
    if (length <= 0)
        return false;
    g_exePath[length] = '\0';
    g_thresholdMs = thresholdMs;

    stack_t stack{};
    stack.ss_sp = g_handlerStack;
    stack.ss_size = sizeof(g_handlerStack);
    sigaltstack(&stack, nullptr);

    struct sigaction action {
    };
    action.sa_handler = onCrashSignal;
    sigemptyset(&action.sa_mask);
    // One go only: a fault inside the handler ends the process the default way.
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    bool installed = true;
    for (int signalNumber : kCrashSignals)
        installed = sigaction(signalNumber, &action, nullptr) == 0 && installed;
    return installed;
}
