#pragma once

#include <array>
#include <cstddef>

// The reports waiting for the writer thread, oldest first. The queue holds a fixed number of
// reports and never allocates: when it is full, the oldest report makes room for the newest,
// since a display shows only the latest figures and stale ones are worth nothing once newer exist.
class ReportQueue
{
public:
    static constexpr std::size_t kReportSize = 65;
    static constexpr std::size_t kCapacity = 4;
    using Report = std::array<unsigned char, kReportSize>;

    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }

    // Appends a copy of the kReportSize bytes at report; drops the oldest report when full.
    void push(const unsigned char *report)
    {
        if (count == kCapacity)
            pop();
        Report &slot = reports[(head + count) % kCapacity];
        for (std::size_t i = 0; i < kReportSize; ++i)
            slot[i] = report[i];
        ++count;
    }

    // Removes and returns the oldest report; the queue must not be empty.
    Report pop()
    {
        const Report oldest = reports[head];
        head = (head + 1) % kCapacity;
        --count;
        return oldest;
    }

private:
    std::array<Report, kCapacity> reports{};
    std::size_t head = 0;
    std::size_t count = 0;
};
