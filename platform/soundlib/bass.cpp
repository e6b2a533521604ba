// The sound library's calls over libxmp and the sound device's output. Every call but the
// output's requests for sound comes from the program's one thread; the output may ask from an
// audio thread of its own, so what both touch is held under one lock. The output is never called
// with that lock held: a device stops its thread only after its last request has returned.
#include "platform/soundlib/bass.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/faults.h"
#include "platform/soundlib/held_notes.h"
#include "platform/soundlib/module_player.h"
#include "platform/soundlib/sound_output.h"

namespace {

// What a library of another version would answer.
constexpr DWORD kOtherVersion = 0x00020000;
constexpr int kDefaultDevice = -1;

struct Sync {
  HSYNC handle;
  int instrument;
  SYNCPROC* proc;
};

class SoundLibrary final : public SoundSource {
 public:
  void Render(std::int16_t* frames, std::size_t count, std::size_t queued) override {
    std::lock_guard<std::mutex> guard(lock);
    // The speaker is `queued` frames behind what has been made: the notes it is nearest to now,
    // within half of this request either way, are heard.
    holding = queued > 0;
    if (holding) {
      const std::int64_t heard = made - static_cast<std::int64_t>(queued);
      held.Release(heard + static_cast<std::int64_t>(count / 2), [this](const SoundingNote& note) { Call(note); });
    }
    requestStart = made;
    playerStart = player != nullptr ? player->Position() : 0;
    if (player != nullptr && playing) player->Render(frames, count);
    else if (frames != nullptr) std::memset(frames, 0, count * 2 * sizeof(std::int16_t));
    made += static_cast<std::int64_t>(count);
  }

  // A note starts at the player's position; runs inside Render, under the lock.
  void Sounding(const SoundingNote& note) {
    if (holding) held.Hold(requestStart + static_cast<std::int64_t>(player->Position() - playerStart), note);
    else Call(note);
  }

  // Calls the syncs on the note's instrument, under the lock.
  void Call(const SoundingNote& note) {
    for (const Sync& sync : syncs) {
      if (sync.instrument == note.instrument) sync.proc(sync.handle, music, static_cast<DWORD>(note.note));
    }
  }

  // Forgets the module and everything that waits on it.
  void Forget() {
    music = 0;
    playing = false;
    syncs.clear();
    held.Clear();
  }

  std::mutex lock;
  // Set by BASS_Init; the output belongs to the device that opened it.
  SoundDevice* device = nullptr;
  SoundOutput* output = nullptr;
  int rate = 0;
  // Under the lock:
  std::unique_ptr<ModulePlayer> player;
  HMUSIC music = 0;
  bool looping = false;
  bool playing = false;
  std::vector<Sync> syncs;
  HeldNotes held;
  std::int64_t made = 0;  // frames the output has asked for since it opened
  bool holding = false;   // within a request: hold the notes until they are heard
  std::int64_t requestStart = 0;
  std::uint64_t playerStart = 0;
  // Main thread only:
  HMUSIC lastMusic = 0;
  HSYNC lastSync = 0;
  int error = BASS_OK;
};

// Never destroyed: an audio thread may still ask for sound while the process ends.
SoundLibrary& Library() {
  static SoundLibrary* library = new SoundLibrary;
  return *library;
}

// Every call leaves its error code behind for BASS_ErrorGetCode.
template <typename T>
T Answer(int error, T result) {
  Library().error = error;
  return result;
}

}  // namespace

DWORD BASS_GetVersion() { return faults::Hit("BASS_GetVersion") ? kOtherVersion : BASS_VERSION; }

BOOL BASS_Init(int device, DWORD freq, DWORD, HWND) {
  SoundLibrary& library = Library();
  if (library.output != nullptr) return Answer(BASS_ERROR_ALREADY, FALSE);
  if (faults::Hit("BASS_Init") || device != kDefaultDevice) return Answer(BASS_ERROR_DEVICE, FALSE);
  if (freq < static_cast<DWORD>(XMP_MIN_SRATE) || freq > static_cast<DWORD>(XMP_MAX_SRATE)) return Answer(BASS_ERROR_ILLPARAM, FALSE);
  SoundDevice* sound = ActiveSoundDevice();
  SoundOutput* output = sound != nullptr ? sound->OpenSoundOutput(static_cast<int>(freq), &library) : nullptr;
  if (output == nullptr) return Answer(BASS_ERROR_DEVICE, FALSE);
  library.device = sound;
  library.output = output;
  library.rate = static_cast<int>(freq);
  return Answer(BASS_OK, TRUE);
}

HMUSIC BASS_MusicLoad(const void* file, BOOL mem, DWORD flags, DWORD length) {
  SoundLibrary& library = Library();
  if (library.output == nullptr) return Answer(BASS_ERROR_INIT, HMUSIC{0});
  if (!mem || file == nullptr || length == 0) return Answer(BASS_ERROR_ILLPARAM, HMUSIC{0});
  if (faults::Hit("BASS_MusicLoad")) return Answer(BASS_ERROR_FILEFORM, HMUSIC{0});
  auto player = std::make_unique<ModulePlayer>(library.rate, [&library](const SoundingNote& note) { library.Sounding(note); });
  if (!player->Load(static_cast<const std::uint8_t*>(file), length)) return Answer(BASS_ERROR_FILEFORM, HMUSIC{0});
  const HMUSIC handle = ++library.lastMusic;
  {
    std::lock_guard<std::mutex> guard(library.lock);
    // The module before, if any, goes with its syncs.
    std::swap(library.player, player);
    library.Forget();
    library.music = handle;
    library.looping = (flags & BASS_MUSIC_LOOP) != 0;
  }
  return Answer(BASS_OK, handle);
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC* proc) {
  SoundLibrary& library = Library();
  std::lock_guard<std::mutex> guard(library.lock);
  if (handle == 0 || handle != library.music) return Answer(BASS_ERROR_HANDLE, HSYNC{0});
  if (type != BASS_SYNC_MUSICINST) return Answer(BASS_ERROR_ILLTYPE, HSYNC{0});
  const int instrument = static_cast<int>(param & 0xFFFF);
  // Only syncs on every note of an instrument the module has are offered.
  if (faults::Hit("BASS_ChannelSetSync") || (param & 0xFFFF0000u) != BASS_SYNC_EVERY_NOTE || instrument == 0 ||
      instrument > library.player->Instruments() || proc == nullptr) {
    return Answer(BASS_ERROR_ILLPARAM, HSYNC{0});
  }
  const HSYNC sync = ++library.lastSync;
  library.syncs.push_back(Sync{sync, instrument, proc});
  return Answer(BASS_OK, sync);
}

int BASS_ErrorGetCode() { return Library().error; }

BOOL BASS_Start() {
  SoundLibrary& library = Library();
  if (library.output == nullptr) return Answer(BASS_ERROR_INIT, FALSE);
  library.output->Start();
  return Answer(BASS_OK, TRUE);
}

BOOL BASS_MusicPlay(HMUSIC handle) {
  SoundLibrary& library = Library();
  const bool audible = library.output != nullptr && library.output->Audible();
  std::lock_guard<std::mutex> guard(library.lock);
  if (handle == 0 || handle != library.music) return Answer(BASS_ERROR_HANDLE, FALSE);
  library.player->Start(library.looping, audible);
  library.held.Clear();
  library.playing = true;
  return Answer(BASS_OK, TRUE);
}

void ResetSoundLibrary() {
  SoundLibrary& library = Library();
  if (library.device != nullptr) library.device->CloseSoundOutput();
  std::unique_ptr<ModulePlayer> player;
  {
    std::lock_guard<std::mutex> guard(library.lock);
    std::swap(library.player, player);
    library.Forget();
    library.made = 0;
  }
  library.device = nullptr;
  library.output = nullptr;
  library.rate = 0;
  library.error = BASS_OK;
}
