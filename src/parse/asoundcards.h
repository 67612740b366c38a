#pragma once

#include <string>
#include <string_view>
#include <vector>

// Card names from the text of /proc/asound/cards, in order: the part after " - " of each card's
// header line " 0 [PCH            ]: HDA-Intel - HDA Intel PCH", trimmed.
std::vector<std::string> parseAsoundCardNames(std::string_view text);
