// The program's icon, cut from the production's own pictures: the planet over the mountains of
// the opening backdrop.
#pragma once

#include <string>
#include <vector>

#include "apps/pakgen/members.h"

// Writes the icon as a size × size PNG (16 to 256); false with the reason in *error.
bool WriteIcon(const std::string& path, int size, const std::vector<PictureMember>& pictures, std::string* error);
