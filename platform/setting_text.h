// How the text of a setting is read and shown: one rule for every number a setting holds (the
// thread count, a depth, the calls of a fault rule), and one way of echoing a value back to a
// person, whatever bytes it holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A number written as decimal digits alone (no sign, no blanks, nothing after) from `least` to
// `most`; false, leaving *value alone, for anything else.
bool ParseSettingNumber(std::string_view text, std::uint64_t least, std::uint64_t most, std::uint64_t* value);

// The text with every control byte and the backslash written as an escape (\t, \n, \r, \\, \xNN),
// so that an echoed value can neither cut a line short nor drive the terminal.
std::string EscapeSettingText(std::string_view text);

// The line naming a value that cannot be used and what is used instead:
// "NAME: ignoring 'VALUE' (EXPECTED); using FALLBACK", the value escaped.
std::string IgnoredSetting(std::string_view name, std::string_view value, std::string_view expected,
                           std::string_view fallback);
