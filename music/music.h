// The music: the module from the package handed to the sound library, started once, and the
// syncs that turn notes of two instruments into the beat flags.
#pragma once

#include "platform/soundlib/bass.h"

// The loaded module; 0 until LoadMusic.
extern HMUSIC MusicHandle;

// Reads the member `name` from the package, checks the library, opens the sound device and
// loads the module. Every failure is fatal.
void LoadMusic(const char* name);
// Starts the output and plays the module from its beginning.
void StartMusic();
// Has `callback` called on every note of `instrument`; a refused sync is fatal.
void RegisterBeatSync(int instrument, SYNCPROC* callback);

// The syncs' callbacks: each toggles its flag and nothing else.
void ToggleBeatFlagAOnNote(HSYNC handle, DWORD channel, DWORD data);
void ToggleBeatFlagBOnNote(HSYNC handle, DWORD channel, DWORD data);
