#include "data/pcx_loader.h"

#include <algorithm>
#include <cstring>

#include "data/checked_buffer.h"
#include "core/errors.h"

namespace {

constexpr std::uint32_t kHeaderBytes = 128;
// A run of the longest count gives 63 bytes for two bytes of data, so no picture can decode to
// more than 32 bytes for each byte of its member.
constexpr std::uint64_t kMostBytesPerDataByte = 32;

std::uint32_t LittleEndian16(const std::uint8_t* bytes) { return bytes[0] | bytes[1] << 8; }

}  // namespace

void DecodePcxRle(MemberFile& file, std::uint8_t* destination, std::uint32_t lineLength, std::uint32_t lines) {
  if (lineLength / 3 != 256) ShowMessage("wrong pcxfile");
  // Lines follow each other without gaps. A run is meant to stop at the end of its line; one
  // that does not goes on into the next line, as if the picture were one stream, and is cut
  // at the end of the picture.
  const std::size_t total = static_cast<std::size_t>(lineLength) * lines;
  std::size_t written = 0;
  while (written < total) {
    const std::uint8_t c = file.readByte();
    if ((c & 0xC0) == 0xC0) {
      const std::size_t count = std::min<std::size_t>(c & 0x3F, total - written);
      std::memset(destination + written, file.readByte(), count);
      written += count;
    } else {
      destination[written++] = c;
    }
  }
}

std::uint32_t* LoadPcx(const char* name) {
  MemberFile file(name, "Unable to load image");
  std::uint8_t header[kHeaderBytes];
  file.read(header, sizeof header);
  if (header[64] != 0) FatalError("File format not supported");

  const std::uint32_t width = LittleEndian16(header + 66);
  const std::uint32_t yMin = LittleEndian16(header + 6);
  const std::uint32_t yMax = LittleEndian16(header + 10);
  if (yMax < yMin) FatalError("pcxfile has Ymax below Ymin");
  const std::uint32_t height = yMax - yMin + 1;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  // A missing tail reads as black, but a header claiming far more than its data could ever
  // encode is damage, and would only make an absurd allocation.
  const std::uint64_t dataBytes = file.size() > kHeaderBytes ? file.size() - kHeaderBytes : 0;
  if (pixels > kPcxUsualPixels && pixels * 3 > dataBytes * kMostBytesPerDataByte) {
    // Unless what is missing is what the file has lost.
    file.requireWhole();
    FatalError("pcxfile too small for its picture size");
  }

  const std::size_t resultPixels = std::max<std::size_t>(pixels, kPcxUsualPixels);
  CheckedBuffer<std::uint32_t> result = AllocateChecked<std::uint32_t>(resultPixels);
  CheckedBuffer<std::uint8_t> planes = AllocateChecked<std::uint8_t>(pixels * 3);
  file.seek(kHeaderBytes);
  DecodePcxRle(file, planes.get(), 3 * width, height);

  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* line = planes.get() + static_cast<std::size_t>(3) * width * y;
    std::uint32_t* row = result.get() + static_cast<std::size_t>(width) * y;
    for (std::uint32_t x = 0; x < width; ++x) {
      row[x] = static_cast<std::uint32_t>(line[x]) << 16 | line[width + x] << 8 | line[2 * width + x];
    }
  }
  std::fill(result.get() + pixels, result.get() + resultPixels, 0u);
  return result.release();
}
