#include "music/music.h"

#include "music/beat_flags.h"
#include "runtime/errors.h"

HMUSIC MusicHandle = 0;

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
