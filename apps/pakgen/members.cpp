#include "apps/pakgen/members.h"

#include "tools/common/pcx_writer.h"
#include "apps/pakgen/encoders.h"
#include "apps/pakgen/mesh.h"
#include "apps/pakgen/pictures.h"
#include "apps/pakgen/song.h"

std::vector<PictureMember> PaintPictures() {
  Typesetter type;
  std::vector<PictureMember> list{
      {"load.raw", PictureForm::GreyRaw, MakeLoadingScreen(type)},
      {"overlay1.raw", PictureForm::RgbRaw, MakeWarpOverlay(type)},
      {"overlay2.raw", PictureForm::RgbRaw, MakeOpeningBackdrop(type)},
      {"overlay3.raw", PictureForm::RgbRaw, MakeBlobFrame(type)},
      {"overlay4.raw", PictureForm::RgbRaw, MakeScrollerBackdrop(type)},
      {"upperframe.raw", PictureForm::RgbRaw, MakeTunnelFrame(type, true)},
      {"lowerframe.raw", PictureForm::RgbRaw, MakeTunnelFrame(type, false)},
  };
  const std::vector<Picture> messages = MakeMessages(type);
  for (std::size_t i = 0; i < messages.size(); ++i)
    list.push_back({"text" + std::to_string(i + 1) + ".raw", PictureForm::GreyRaw, messages[i]});
  list.push_back({"scroll.raw", PictureForm::GreyRaw, MakeCredits(type)});
  list.push_back({"texture1.pcx", PictureForm::Pcx, MakeIceLattice()});
  list.push_back({"texture3.pcx", PictureForm::Pcx, MakeCubePanel(type)});
  list.push_back({"texture5.pcx", PictureForm::Pcx, MakeEmberFlow()});
  list.push_back({"texture6.pcx", PictureForm::Pcx, MakeAuroraWeave()});
  list.push_back({"texture7.pcx", PictureForm::Pcx, MakeTiledFloor()});
  list.push_back({"texture8.pcx", PictureForm::Pcx, MakeGildedScales()});
  list.push_back({"vamp.pcx", PictureForm::Pcx, MakeNebula()});
  list.push_back({"env1.pcx", PictureForm::Pcx, MakeEnvironmentMap()});
  list.push_back({"flare.pcx", PictureForm::Pcx, MakeStarFlare()});
  list.push_back({"flare2.pcx", PictureForm::Pcx, MakeRingFlare()});
  const std::vector<Picture> greetings = MakeGreetings(type);
  for (std::size_t i = 0; i < greetings.size(); ++i)
    list.push_back({"greet" + std::to_string(i + 1) + ".pcx", PictureForm::Pcx, greetings[i]});
  return list;
}

std::vector<PakMember> EncodeMembers(const std::vector<PictureMember>& pictures) {
  std::vector<PakMember> members;
  for (const PictureMember& p : pictures) {
    switch (p.form) {
      case PictureForm::Pcx:
        members.push_back({p.name, EncodePcx(PackPixels(p.picture).data(), p.picture.width, p.picture.height)});
        break;
      case PictureForm::RgbRaw: members.push_back({p.name, EncodeRgbRaw(p.picture)}); break;
      case PictureForm::GreyRaw: members.push_back({p.name, EncodeGreyRaw(p.picture)}); break;
    }
  }
  members.push_back({"object3.3ds", Encode3ds(MakeKnot(), "kaleth knot")});
  members.push_back({"kaleth.xm", EncodeXm(ComposeSong())});
  return members;
}
