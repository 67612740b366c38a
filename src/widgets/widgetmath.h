#pragma once

#include <cmath>
#include <limits>

namespace kestrun::widgets {

// Painting turns computed doubles into ints (angles in sixteenths, shown numbers); a plain cast
// of NaN or of a value beyond int range is undefined, so this one saturates: NaN gives 0,
// values beyond the range give the nearest int limit, everything else truncates toward zero.
inline int toIntSaturated(double v)
{
    if (std::isnan(v))
        return 0;
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

} // namespace kestrun::widgets
