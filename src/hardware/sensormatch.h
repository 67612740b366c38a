#pragma once

#include "hardware/sensorsnapshot.h"

#include <array>

// The five kinds of reading, in the order a read cycle asks for them within one reading index.
enum class ReadingKind { Temperature, Fan, Power, Clock, Usage };

constexpr std::array<ReadingKind, 5> kReadingKindsInWalkOrder{
    ReadingKind::Temperature, ReadingKind::Fan, ReadingKind::Power, ReadingKind::Clock, ReadingKind::Usage};

// True when the SDK offered a reading: a non-empty label and a value of at least 1.0.
// NaN is no reading either. Inline: it runs for each of the 2560 slots of every sensor.
inline bool readingPresent(const char *label, double value)
{
    return label[0] != '\0' && value >= 1.0;
}

// Picks the snapshot fields of one read cycle from the readings offered in walk order (sensor,
// reading index, kind). Each field is filled by the first reading whose label matches one of its
// texts; later matches for a field already taken pass on to the next group of that kind.
class SensorMatcher
{
public:
    // Offers one reading. Returns true when it filled a field. Readings that are not present
    // (see readingPresent) are ignored.
    bool offer(ReadingKind kind, const char *label, double value);

    // The values gathered so far; fields without a match are 0.
    const SensorSnapshot &snapshot() const { return gathered; }

private:
    SensorSnapshot gathered;
    std::array<bool, 12> taken{}; // one mark per matching group, so per field
};

// Which fields the labels of a walk could fill, whatever the readings' values: a field that no
// label matches has no source on the machine, while one whose reading is below 1.0 (an idle GPU's
// load, a stopped fan) has a source and merely reads 0 at the moment.
class SensorSourceSeen
{
public:
    // Notes one labelled reading; an empty label is no reading.
    void see(ReadingKind kind, const char *label);

    bool seen(float SensorSnapshot::*field) const;

private:
    std::array<bool, 12> seenGroups{}; // per matching group, as the matcher's marks
};
