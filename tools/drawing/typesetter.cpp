#include "tools/drawing/typesetter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/host/host.h"

namespace {

constexpr std::array<const char*, 5> kFontFiles{"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf",
                                                "DejaVuSerif-Bold.ttf", "DejaVuSansMono-Bold.ttf"};

// The texts are ours and plain ASCII; anything else would be a typo, so it is refused loudly.
void CheckAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20 || c > 0x7e) throw std::runtime_error("text outside printable ASCII: " + text);
}

}  // namespace

struct Typesetter::Impl {
  FT_Library library = nullptr;
  std::array<FT_Face, kFontFiles.size()> faces{};
  // The faces' files, read whole: FreeType reads a face from memory for as long as it is open,
  // and a file read by its path object opens in a folder of any name on any system.
  std::array<std::vector<FT_Byte>, kFontFiles.size()> files;

  FT_Face Use(const TextStyle& style) {
    FT_Face face = faces[static_cast<std::size_t>(style.face)];
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(style.pixelSize)) != 0)
      throw std::runtime_error("FreeType refused pixel size " + std::to_string(style.pixelSize));
    return face;
  }

  FT_GlyphSlot Load(FT_Face face, char c) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(static_cast<unsigned char>(c)), FT_LOAD_RENDER) != 0)
      throw std::runtime_error(std::string("FreeType cannot render '") + c + "'");
    return face->glyph;
  }

  int Kerning(FT_Face face, char previous, char c) {
    if (!previous || !FT_HAS_KERNING(face)) return 0;
    FT_Vector delta{};
    FT_Get_Kerning(face, FT_Get_Char_Index(face, static_cast<unsigned char>(previous)),
                   FT_Get_Char_Index(face, static_cast<unsigned char>(c)), FT_KERNING_DEFAULT, &delta);
    return static_cast<int>(delta.x >> 6);
  }

  // Walks the line, calling `place` with each glyph and its pen position; gives back the width.
  template <typename Place>
  int Walk(const std::string& text, const TextStyle& style, Place place) {
    CheckAscii(text);
    FT_Face face = Use(style);
    int pen = 0;
    char previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      pen += Kerning(face, previous, c);
      FT_GlyphSlot glyph = Load(face, c);
      place(glyph, pen);
      pen += static_cast<int>(glyph->advance.x >> 6);
      if (i + 1 < text.size()) pen += style.tracking;
      previous = c;
    }
    return pen;
  }
};

Typesetter::Typesetter() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType did not start");
  const host::FontFolder fonts = host::DejaVuFonts();
  for (std::size_t i = 0; i < kFontFiles.size(); ++i) {
    const std::filesystem::path path = fonts.folder / kFontFiles[i];
    std::ifstream file(path, std::ios::binary);
    std::vector<FT_Byte>& bytes = impl_->files[i];
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) bytes.clear();
    if (bytes.empty() ||
        FT_New_Memory_Face(impl_->library, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &impl_->faces[i]) != 0)
      throw std::runtime_error("cannot open font " + host::PathText(path) + " " + fonts.whereToGet);
  }
}

Typesetter::~Typesetter() {
  for (FT_Face face : impl_->faces)
    if (face) FT_Done_Face(face);
  if (impl_->library) FT_Done_FreeType(impl_->library);
}

int Typesetter::Measure(const std::string& text, const TextStyle& style) {
  return impl_->Walk(text, style, [](FT_GlyphSlot, int) {});
}

void Typesetter::Draw(Mask& target, const std::string& text, const TextStyle& style, int x, int baseline) {
  impl_->Walk(text, style, [&](FT_GlyphSlot glyph, int pen) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    const int left = x + pen + glyph->bitmap_left, top = baseline - glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const int tx = left + static_cast<int>(col), ty = top + static_cast<int>(row);
        if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
        const float coverage = bitmap.buffer[row * bitmap.pitch + col] / 255.f;
        target.at(tx, ty) = std::min(1.f, target.at(tx, ty) + coverage);
      }
    }
  });
}

void Typesetter::DrawCentred(Mask& target, const std::string& text, const TextStyle& style, int centreX,
                             int baseline) {
  Draw(target, text, style, centreX - Measure(text, style) / 2, baseline);
}

int Typesetter::CapHeight(const TextStyle& style) {
  FT_Face face = impl_->Use(style);
  return impl_->Load(face, 'H')->bitmap_top;
}
