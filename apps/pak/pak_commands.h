// The package commands of kaleth-pak. Each prints its faults to stderr and returns the exit
// code: 0 done, 1 failed.
#pragma once

#include <string>

int ListPak(const std::string& package);
int ExtractPak(const std::string& package, const std::string& folder);
int PackPak(const std::string& folder, const std::string& package);
