// Names and paths as the tools show them and as the package manifest stores them: printable
// ASCII as it is, \\, \t, \r, \n, and \xHH for every other byte (a zero byte, an escape
// sequence, a byte of UTF-8). Every message of the tools that quotes a name or a path goes through
// EscapeName, so a name cannot cut a message short or drive the terminal.
#pragma once

#include <string>

std::string EscapeName(const std::string& name);

// The inverse of EscapeName; false for a backslash that starts no escape it writes.
bool UnescapeName(const std::string& text, std::string* name);
