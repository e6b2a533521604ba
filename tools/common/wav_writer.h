// Writes 16-bit PCM sound as a WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `samples` are interleaved frames of `channels` channels; false with the reason in *error.
bool WriteWav(const std::string& path, const std::int16_t* samples, std::size_t frames, int channels, int rate,
              std::string* error);
