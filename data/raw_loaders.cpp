#include "data/raw_loaders.h"

#include "data/checked_buffer.h"
#include "data/member_file.h"

namespace {

constexpr const char* kImageFailure = "Unable to load image";

std::uint32_t* LoadRgbRaw(const char* name, std::size_t pixels) {
  CheckedBuffer<std::uint8_t> read = AllocateChecked<std::uint8_t>(pixels * 3);
  CheckedBuffer<std::uint32_t> result = AllocateChecked<std::uint32_t>(pixels);
  MemberFile file(name, kImageFailure);
  file.read(read.get(), pixels * 3);
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* bytes = read.get() + 3 * i;
    result[i] = static_cast<std::uint32_t>(bytes[0]) << 16 | bytes[1] << 8 | bytes[2];
  }
  return result.release();
}

}  // namespace

void GrayToPixels(const std::uint8_t* grey, std::uint32_t* pixels, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) pixels[i] = grey[i] * 0x010101u;
}

std::uint32_t* LoadRgbRawScreen(const char* name) { return LoadRgbRaw(name, kRawScreenPixels); }

std::uint32_t* LoadRgbRawStrip(const char* name) { return LoadRgbRaw(name, kRawStripPixels); }

std::uint32_t* LoadGrayRaw(std::size_t n, const char* name) {
  CheckedBuffer<std::uint8_t> read = AllocateChecked<std::uint8_t>(n);
  CheckedBuffer<std::uint32_t> result = AllocateChecked<std::uint32_t>(n);
  MemberFile file(name, "unable to load 8 bit raw");
  file.read(read.get(), n);
  GrayToPixels(read.get(), result.get(), n);
  return result.release();
}

std::uint8_t* LoadRaw8Screen(const char* name) {
  CheckedBuffer<std::uint8_t> grey = AllocateChecked<std::uint8_t>(kRawScreenPixels);
  MemberFile file(name, kImageFailure);
  file.read(grey.get(), kRawScreenPixels);
  return grey.release();
}
