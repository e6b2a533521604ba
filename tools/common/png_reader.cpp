#include "tools/common/png_reader.h"

#include <png.h>

#include <cstring>

#include "tools/common/name_escape.h"

bool ReadPng(const std::string& path, std::vector<std::uint32_t>* pixels, int* width, int* height,
             std::string* error, const PngSizeCheck& check) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    *error = EscapeName(path) + ": " + image.message;
    return false;
  }
  if (check && !check(image.width, image.height, error)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  // Zeroed, so that pixels with transparency are laid over black.
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    *error = EscapeName(path) + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  pixels->resize(static_cast<std::size_t>(image.width) * image.height);
  for (std::size_t i = 0; i < pixels->size(); ++i) {
    (*pixels)[i] = static_cast<std::uint32_t>(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
  }
  return true;
}
