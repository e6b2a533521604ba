// One registry through which any stand-in operation can be made to fail, so that every failure
// path of the system can be reached: from a test in-process, or for a whole run through the
// environment variable KALETH_FAULTS, a comma-separated list of OPERATION@N (the Nth call fails),
// OPERATION@NxK (K calls from the Nth on fail) or OPERATION@N+ (every call from the Nth on fails).
#pragma once

#include <string>

namespace faults {

// Makes calls first .. first+count-1 (1-based) of the operation fail; count 0 means every call
// from first on.
void Fail(const std::string& operation, unsigned first, unsigned count = 1);

// Counts one call of the operation and tells whether it is to fail.
bool Hit(const char* operation);

// How many calls of the operation were counted so far.
unsigned Calls(const std::string& operation);

// Forgets every rule and count (the environment is read again on the next Hit).
void Reset();

// Parses a rule list in the KALETH_FAULTS form; returns false (and adds nothing) when malformed.
bool Parse(const std::string& rules);

}  // namespace faults
