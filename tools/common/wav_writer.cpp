#include "tools/common/wav_writer.h"

#include "tools/common/pak_writer.h"

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool WriteWav(const std::string& path, const std::int16_t* samples, std::size_t frames, int channels, int rate,
              std::string* error) {
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(frames) * channels * 2;
  if (dataBytes > 0xFFFFFFFFull - 36) {
    *error = path + ": too much sound for one WAV file";
    return false;
  }
  std::vector<std::uint8_t> file;
  file.reserve(44 + dataBytes);
  file.insert(file.end(), {'R', 'I', 'F', 'F'});
  Put(file, static_cast<std::uint32_t>(36 + dataBytes), 4);
  file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(file, 16, 4);
  Put(file, 1, 2);  // PCM
  Put(file, static_cast<std::uint32_t>(channels), 2);
  Put(file, static_cast<std::uint32_t>(rate), 4);
  Put(file, static_cast<std::uint32_t>(rate * channels * 2), 4);
  Put(file, static_cast<std::uint32_t>(channels * 2), 2);
  Put(file, 16, 2);
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  Put(file, static_cast<std::uint32_t>(dataBytes), 4);
  for (std::size_t i = 0; i < frames * channels; ++i) Put(file, static_cast<std::uint16_t>(samples[i]), 2);
  return WriteFileBytes(path, file, error);
}
