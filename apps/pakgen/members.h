// The package's members: every picture in the form its loader reads, the mesh and the module.
#pragma once

#include <string>
#include <vector>

#include "tools/common/pak_writer.h"
#include "tools/common/picture.h"

enum class PictureForm { Pcx, RgbRaw, GreyRaw };

struct PictureMember {
  std::string name;
  PictureForm form;
  Picture picture;
};

// All pictures, in the order the package lists them.
std::vector<PictureMember> PaintPictures();
// The package's members: the pictures encoded, then "object3.3ds" and "kaleth.xm".
std::vector<PakMember> EncodeMembers(const std::vector<PictureMember>& pictures);
