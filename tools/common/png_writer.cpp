#include "tools/common/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/pixels/pixel_convert.h"

bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height, int pitch,
              std::string* error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  bool ok = png != nullptr && info != nullptr;
  if (ok && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      const auto* source =
          reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) + y * pitch);
      for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<png_byte>(source[x] >> 16);
        row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
        row[3 * x + 2] = static_cast<png_byte>(source[x]);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  } else {
    ok = false;
  }
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) *error = path + ": cannot write the PNG file";
  return ok;
}

bool WriteFramePng(const std::string& path, const FrameView& frame, std::string* error) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(frame.width) * frame.height);
  ConvertToXrgb(frame, reinterpret_cast<std::uint8_t*>(pixels.data()), frame.width * 4);
  return WritePng(path, pixels.data(), frame.width, frame.height, frame.width * 4, error);
}
