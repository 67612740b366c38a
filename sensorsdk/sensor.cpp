#include "sensor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sensorsdk {

Sensor::Sensor(std::string name)
    : sensorName(std::move(name))
{
}

void Sensor::add(Kind kind, std::string label, Source source)
{
    slots[static_cast<int>(kind)].push_back(Slot{std::move(label), std::move(source), 0, false});
}

int Sensor::count(Kind kind) const
{
    return static_cast<int>(slots[static_cast<int>(kind)].size());
}

void Sensor::sample()
{
    beginSample();
    for (auto &table : slots) {
        for (Slot &slot : table) {
            const std::optional<double> value = slot.source();
            slot.present = value && std::isfinite(*value);
            slot.value = slot.present ? *value : 0;
        }
    }
}

double Sensor::read(Kind kind, int index, char *label, int size) const
{
    const auto &table = slots[static_cast<int>(kind)];
    if (index < 0 || index >= static_cast<int>(table.size()) || !table[index].present) {
        copyLabel({}, label, size);
        return 0;
    }
    copyLabel(table[index].label, label, size);
    return table[index].value;
}

void copyLabel(std::string_view text, char *label, int size)
{
    if (!label || size <= 0)
        return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    if (length > 0)
        std::memcpy(label, text.data(), length);
    label[length] = '\0';
}

} // namespace sensorsdk
