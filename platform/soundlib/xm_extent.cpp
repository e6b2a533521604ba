#include "platform/soundlib/xm_extent.h"

#include <cstring>

namespace {

constexpr char kXmId[] = "Extended Module: ";
constexpr std::size_t kXmIdLength = sizeof kXmId - 1;
constexpr unsigned kXmVersion = 0x0104;
constexpr std::uint64_t kHeaderSizeOffset = 60;
constexpr std::uint64_t kPatternHeaderBytes = 9;
constexpr std::uint64_t kInstrumentHeaderBytes = 29;  // up to and including the sample count
constexpr std::uint64_t kSampleHeaderBytes = 40;      // the readers take 40 whatever the header says
constexpr std::uint8_t kAdpcmMark = 0xAD;

// Reads little-endian numbers, answering false for anything past the end.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Has(std::uint64_t offset, std::uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
  bool U16(std::uint64_t offset, std::uint64_t* value) const {
    if (!Has(offset, 2)) return false;
    *value = data_[offset] | static_cast<std::uint64_t>(data_[offset + 1]) << 8;
    return true;
  }
  bool U32(std::uint64_t offset, std::uint64_t* value) const {
    std::uint64_t low = 0, high = 0;
    if (!U16(offset, &low) || !U16(offset + 2, &high)) return false;
    *value = low | high << 16;
    return true;
  }
  bool U8(std::uint64_t offset, std::uint64_t* value) const {
    if (!Has(offset, 1)) return false;
    *value = data_[offset];
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Walks one instrument at `offset`; on success `offset` is just past its last sample.
bool SkipInstrument(const Bytes& bytes, std::uint64_t* offset) {
  std::uint64_t headerSize = 0, samples = 0;
  if (!bytes.U32(*offset, &headerSize) || !bytes.U16(*offset + 27, &samples)) return false;
  if (headerSize < kInstrumentHeaderBytes || !bytes.Has(*offset, headerSize)) return false;
  std::uint64_t sampleHeaders = *offset + headerSize;
  std::uint64_t end = sampleHeaders + samples * kSampleHeaderBytes;
  if (!bytes.Has(sampleHeaders, samples * kSampleHeaderBytes)) return false;
  for (std::uint64_t i = 0; i < samples; ++i) {
    const std::uint64_t header = sampleHeaders + i * kSampleHeaderBytes;
    std::uint64_t length = 0, reserved = 0;
    if (!bytes.U32(header, &length) || !bytes.U8(header + 17, &reserved)) return false;
    // Packed samples hold a 16-byte table and then half a byte a sample.
    end += reserved == kAdpcmMark ? 16 + (length + 1) / 2 : length;
  }
  if (!bytes.Has(end, 0)) return false;
  *offset = end;
  return true;
}

}  // namespace

bool XmModuleFits(const std::uint8_t* data, std::size_t size) {
  const Bytes bytes(data, size);
  if (!bytes.Has(0, kXmIdLength) || std::memcmp(data, kXmId, kXmIdLength) != 0) return false;
  std::uint64_t version = 0, headerSize = 0, patterns = 0, instruments = 0;
  if (!bytes.U16(58, &version) || !bytes.U32(kHeaderSizeOffset, &headerSize) || !bytes.U16(70, &patterns) ||
      !bytes.U16(72, &instruments)) {
    return false;
  }
  if (version != kXmVersion) return false;
  std::uint64_t offset = kHeaderSizeOffset + headerSize;
  if (!bytes.Has(offset, 0)) return false;
  for (std::uint64_t i = 0; i < patterns; ++i) {
    std::uint64_t headerLength = 0, packedSize = 0;
    if (!bytes.U32(offset, &headerLength) || !bytes.U16(offset + 7, &packedSize)) return false;
    if (headerLength < kPatternHeaderBytes) return false;
    offset += headerLength + packedSize;
    if (!bytes.Has(offset, 0)) return false;
  }
  for (std::uint64_t i = 0; i < instruments; ++i) {
    if (!SkipInstrument(bytes, &offset)) return false;
  }
  return true;
}
