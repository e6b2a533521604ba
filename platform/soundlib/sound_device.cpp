#include "platform/soundlib/sound_output.h"

namespace {

SoundDevice* activeDevice = nullptr;

}  // namespace

void SetSoundDevice(SoundDevice* device) { activeDevice = device; }

SoundDevice* ActiveSoundDevice() { return activeDevice; }
