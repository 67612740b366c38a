#pragma once

// What the library needs to know of lm-sensors' configuration text. Pure: no file access.

#include <string>
#include <string_view>
#include <vector>

namespace sensorsdk {

// The features that the configuration's compute statements name ("temp1" of
// `compute temp1 @ - 5, @ + 5`), under whichever chip statement they stand. libsensors applies a
// compute statement to a reading's value; a reading of a feature not named here has none on any
// chip. Comments, quoted texts and line continuations are read as libsensors reads them; text that
// does not parse names what it seems to name, since saying too much only costs a slower read.
std::vector<std::string> computedFeatures(std::string_view configuration);

} // namespace sensorsdk
