// Text set with FreeType in the DejaVu faces that Debian's fonts-dejavu-core installs.
#pragma once

#include <memory>
#include <string>

#include "tools/common/picture.h"

enum class Face { Sans, SansBold, Serif, SerifBold, Mono };

struct TextStyle {
  Face face = Face::SansBold;
  int pixelSize = 24;
  int tracking = 0;  // extra pixels between letters
};

class Typesetter {
 public:
  // Throws std::runtime_error naming the font file when FreeType or a face cannot be opened.
  Typesetter();
  ~Typesetter();
  Typesetter(const Typesetter&) = delete;
  Typesetter& operator=(const Typesetter&) = delete;

  // Width in pixels of the line as Draw would set it.
  int Measure(const std::string& text, const TextStyle& style);
  // Adds the line's coverage into `target` (saturating at 1) with its pen starting at `x` on
  // the baseline `baseline`. Glyph parts outside the mask are dropped.
  void Draw(Mask& target, const std::string& text, const TextStyle& style, int x, int baseline);
  // The same, centred on column `centreX`.
  void DrawCentred(Mask& target, const std::string& text, const TextStyle& style, int centreX, int baseline);
  // Height above the baseline of capital letters in this style, for vertical centring.
  int CapHeight(const TextStyle& style);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
