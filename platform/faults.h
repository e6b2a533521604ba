// One registry through which any stand-in operation can be made to fail, so that every failure
// path of the system can be reached: from a test in-process, or for a whole run through the
// machine profile's KALETH_FAULTS, a comma-separated list of OPERATION@N (the Nth call fails),
// OPERATION@NxK (K calls from the Nth on fail) or OPERATION@N+ (every call from the Nth on fails).
//
// Every Lock, Blt, Flip and draw asks it, so until a rule is set (or counting is asked for) a
// call costs one atomic load and counts nothing.
#pragma once

#include <string>

namespace faults {

// Makes calls first .. first+count-1 (1-based) of the operation fail; count 0 means every call
// from first on.
void Fail(const std::string& operation, unsigned first, unsigned count = 1);

// Counts one call of the operation and tells whether it is to fail.
bool Hit(const char* operation);

// How many calls of the operation were counted so far: every call since the first rule was set,
// or since CountCalls.
unsigned Calls(const std::string& operation);

// Counts every call from now on, rules or none, and after every Reset too: for the tests, which
// arm a fault at "the next call" and check how often an operation ran.
void CountCalls();

// How many calls of the operation were made to fail so far: a test that a failure goes unnoticed
// asks this, so that a rule which never fired (a misspelt name, a call never made) cannot pass.
unsigned Fired(const std::string& operation);

// Forgets every rule and count.
void Reset();

// Parses a rule list in the KALETH_FAULTS form; returns false (and adds nothing) when malformed.
bool Parse(const std::string& rules);

// Whether Parse would take the rule list, without adding it.
bool WellFormed(const std::string& rules);

}  // namespace faults
