// A review sheet: every picture member at its own size, labelled with its name, on one PNG.
#pragma once

#include <string>
#include <vector>

#include "apps/pakgen/members.h"

bool WriteSheet(const std::string& path, const std::vector<PictureMember>& pictures, std::string* error);
