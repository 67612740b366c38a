#pragma once

// One sensor as the ten entry points present it: a name and, per kind of reading, a fixed table of
// labelled readings. sample() takes every reading once; read() then answers from that sample.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sensorsdk {

enum class Kind { Temperature, Fan, Power, Clock, Usage };
constexpr int kKindCount = 5;

// Produces a reading's current value, or nothing when it cannot be had this cycle.
using Source = std::function<std::optional<double>()>;

class Sensor
{
public:
    explicit Sensor(std::string name);
    virtual ~Sensor() = default;
    Sensor(const Sensor &) = delete;
    Sensor &operator=(const Sensor &) = delete;

    const std::string &name() const { return sensorName; }
    void add(Kind kind, std::string label, Source source);
    int count(Kind kind) const;

    // Takes a fresh sample of every reading, kind by kind in the order of Kind and within a kind in
    // the order the readings were added. A reading without a finite value is absent until the next
    // sample: no value from an earlier cycle is ever served again.
    void sample();

    // The reading's value with its label copied into label (NUL-terminated, at most size bytes);
    // an absent reading or an index outside the table gives an empty label and 0.
    double read(Kind kind, int index, char *label, int size) const;

protected:
    // Runs first in every sample: the place to fetch data that several readings share.
    virtual void beginSample() {}

private:
    struct Slot {
        std::string label;
        Source source;
        double value = 0;
        bool present = false;
    };
    std::string sensorName;
    std::array<std::vector<Slot>, kKindCount> slots;
};

// Copies text into a caller's buffer of size bytes, always NUL-terminated, never beyond size.
void copyLabel(std::string_view text, char *label, int size);

} // namespace sensorsdk
