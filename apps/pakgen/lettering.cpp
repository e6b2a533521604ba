#include <algorithm>
#include <cmath>

#include "apps/pakgen/layers.h"
#include "apps/pakgen/palette.h"
#include "apps/pakgen/pictures.h"

namespace {

constexpr int kGreetingSize = 256;
constexpr int kMessageWidth = 200, kMessageHeight = 80;
constexpr int kCreditsWidth = 320, kCreditsHeight = 1120;
// Rows 800 to 1079 are the picture the scroller comes to rest on.
constexpr int kRestTop = 800, kRestBottom = 1080;

// The largest size up to `largest` at which the line fits in `width` pixels.
TextStyle Fit(Typesetter& type, const std::string& text, TextStyle style, int width) {
  while (style.pixelSize > 8 && type.Measure(text, style) > width) --style.pixelSize;
  return style;
}

Picture GreyPicture(const Mask& mask) {
  Picture picture(mask.width, mask.height);
  for (std::size_t i = 0; i < mask.values.size(); ++i) picture.pixels[i] = Grey(mask.values[i]);
  return picture;
}

// Greeting picture: the name in a gradient fill over a dark outline. Black is transparent where
// the scene draws it, so everything outside the outline is exactly 0 and everything inside is not.
Picture Greeting(Typesetter& type, const std::string& name, int index) {
  const bool warm = index % 2 == 1;
  Mask ink(kGreetingSize, kGreetingSize);
  const TextStyle caption{Face::Sans, 22, 6};
  const TextStyle style = Fit(type, name, {Face::SansBold, 64, 1}, kGreetingSize - 28);
  const int baseline = kGreetingSize / 2 + type.CapHeight(style) / 2 + 8;
  type.DrawCentred(ink, name, style, kGreetingSize / 2, baseline);
  Mask small(kGreetingSize, kGreetingSize);
  type.DrawCentred(small, "hello", caption, kGreetingSize / 2, baseline - type.CapHeight(style) - 18);
  for (std::size_t i = 0; i < ink.values.size(); ++i) ink.values[i] = std::min(1.f, ink.values[i] + small.values[i]);
  const Mask outline = Grown(ink, 3);
  const int top = baseline - type.CapHeight(style), bottom = baseline;
  Picture picture(kGreetingSize, kGreetingSize, Color{});
  for (int y = 0; y < kGreetingSize; ++y) {
    const float t = std::clamp(static_cast<float>(y - top) / static_cast<float>(bottom - top), 0.f, 1.f);
    const Color fill = warm ? Mix(theme::kGold, theme::kEmber, t) : Mix(theme::kWhite, theme::kTeal, t);
    for (int x = 0; x < kGreetingSize; ++x) {
      if (outline.at(x, y) < 0.4f) continue;  // transparent
      const Color rim = Color{0.04f, 0.04f, 0.14f};
      picture.at(x, y) = Mix(rim, fill, std::clamp(ink.at(x, y) * 1.3f, 0.f, 1.f));
    }
  }
  return picture;
}

// Sets centred lines on the mask, one (text, style, baseline) at a time.
struct Line {
  std::string text;
  TextStyle style;
  int baseline;
  float level;
};

void SetLines(Typesetter& type, Mask& mask, const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    Mask ink(mask.width, mask.height);
    type.DrawCentred(ink, line.text, line.style, mask.width / 2, line.baseline);
    for (std::size_t i = 0; i < ink.values.size(); ++i)
      mask.values[i] = std::max(mask.values[i], ink.values[i] * line.level);
  }
}

}  // namespace

const std::vector<std::string>& GreetedGroups() {
  static const std::vector<std::string> names{"Nimbrel", "Quorrin", "Halvoxa", "Tesselkin", "Virelune",
                                              "Ombrakai", "Skarrowe", "Mirrowald", "Kelvathi"};
  return names;
}

std::vector<Picture> MakeGreetings(Typesetter& type) {
  std::vector<Picture> pictures;
  for (std::size_t i = 0; i < GreetedGroups().size(); ++i)
    pictures.push_back(Greeting(type, GreetedGroups()[i], static_cast<int>(i)));
  return pictures;
}

std::vector<Picture> MakeMessages(Typesetter& type) {
  // Six lines of one short verse, each held for a second and a half over the ripples.
  static const char* const kVerse[] = {"in the cold", "of KALETH", "we light", "small fires", "for you", "ORVALIS"};
  std::vector<Picture> pictures;
  for (const char* text : kVerse) {
    Mask mask(kMessageWidth, kMessageHeight);
    const TextStyle style = Fit(type, text, {Face::SansBold, 34, 1}, kMessageWidth - 16);
    const int baseline = kMessageHeight / 2 + type.CapHeight(style) / 2;
    SetLines(type, mask, {{text, style, baseline, 1.f}});
    // A faint halo keeps the words readable on bright ripples; it adds light, never darkens.
    const Mask halo = Blurred(mask, 3);
    for (std::size_t i = 0; i < mask.values.size(); ++i)
      mask.values[i] = std::max(mask.values[i], std::min(1.f, halo.values[i] * 0.6f));
    pictures.push_back(GreyPicture(mask));
  }
  return pictures;
}

Picture MakeCredits(Typesetter& type) {
  Mask mask(kCreditsWidth, kCreditsHeight);
  const TextStyle title{Face::SerifBold, 48, 8}, heading{Face::SansBold, 13, 5}, name{Face::Sans, 20, 1},
      small{Face::Sans, 14, 2};
  std::vector<Line> lines{
      {"KALETH", title, 100, 1.f},
      {"a production by", small, 140, 0.7f},
      {"ORVALIS", {Face::SansBold, 24, 8}, 172, 1.f},
      {"code", heading, 250, 0.6f},
      {"Quillon", name, 276, 1.f},
      {"Tesk", name, 302, 1.f},
      {"pictures", heading, 350, 0.6f},
      {"Mereven", name, 376, 1.f},
      {"music", heading, 424, 0.6f},
      {"Ambervox", name, 450, 1.f},
      {"mesh and motion", heading, 498, 0.6f},
      {"Quillon", name, 524, 1.f},
      {"greetings", heading, 584, 0.6f},
  };
  int baseline = 612;
  for (const std::string& group : GreetedGroups()) {
    lines.push_back({group, small, baseline, 0.9f});
    baseline += 20;
  }
  // The resting picture: everything it needs lies between its top and bottom rows.
  const int rest = kRestTop;
  lines.push_back({"thank you for watching", small, rest + 70, 0.8f});
  lines.push_back({"KALETH", title, rest + 140, 1.f});
  lines.push_back({"ORVALIS", {Face::SansBold, 20, 8}, rest + 176, 1.f});
  lines.push_back({"press escape to leave", {Face::Sans, 11, 2}, kRestBottom - 40, 0.5f});
  SetLines(type, mask, lines);
  return GreyPicture(mask);
}
