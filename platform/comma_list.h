// The comma-separated lists of the environment settings (KALETH_DISPLAY_DEPTHS,
// KALETH_DEPTH_FORMATS, KALETH_FAULTS), split one way for every reader.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The items between the commas as written, empty ones included, so that a reader can refuse
// "16,,24" or a trailing comma; an empty text is an empty list.
std::vector<std::string> SplitCommaList(std::string_view text);
