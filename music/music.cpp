#include "music/music.h"

#include "data/checked_buffer.h"
#include "data/member_file.h"
#include "music/beat_flags.h"
#include "runtime/entry.h"
#include "core/errors.h"

HMUSIC MusicHandle = 0;

void LoadMusic(const char* name) {
  CheckedBuffer<std::uint8_t> module;
  std::size_t length = 0;
  {
    MemberFile member(name, "Unable to open datafile");
    // A module the file has lost the end of is the package's damage: said as such here, it is
    // not left to the library to call it a bad module.
    member.requireWhole();
    module = AllocateChecked<std::uint8_t>(member.size());
    // The library is told how many bytes there are, so a damaged module cannot make it read
    // past them.
    length = member.read(module.get(), member.size());
  }
  if (BASS_GetVersion() != BASS_VERSION) FatalError("Wrong version");
  if (!BASS_Init(-1, 44100, 0, MainWindow)) FatalError("Soundcard can not handle samplerate 44100");
  MusicHandle = BASS_MusicLoad(module.get(), TRUE, BASS_MUSIC_RAMP | BASS_MUSIC_LOOP, static_cast<DWORD>(length));
  if (MusicHandle == 0) FatalError("BASS reports an error");
  // The library keeps what it needs.
  module.reset();
}

void StartMusic() {
  BASS_Start();
  BASS_MusicPlay(MusicHandle);
}

void RegisterBeatSync(int instrument, SYNCPROC* callback) {
  BASS_ChannelSetSync(MusicHandle, BASS_SYNC_MUSICINST, (static_cast<DWORD>(instrument) & 0xFFFF) | BASS_SYNC_EVERY_NOTE,
                      callback);
  if (BASS_ErrorGetCode() == BASS_ERROR_ILLPARAM) FatalError("Wrong synchroniser");
}

void ToggleBeatFlagAOnNote(HSYNC, DWORD, DWORD) { ToggleBeatFlag(BeatFlagA); }

void ToggleBeatFlagBOnNote(HSYNC, DWORD, DWORD) { ToggleBeatFlag(BeatFlagB); }
