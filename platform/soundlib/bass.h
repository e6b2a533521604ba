// The sound library's names and values, as the system calls them. Under them sits libxmp, which
// plays the module, and the output of the installed sound device (a real one in real time, or an
// offline one that follows the headless virtual clock).
#pragma once

#include <cstdint>

#include "platform/windows/win32.h"

using HMUSIC = DWORD;
using HSYNC = DWORD;

// A sync procedure: called on the thread that produces the sound, when the note is heard, so it
// must be quick and must not call back into the library. `data` carries the note (1 = C-0) in its
// low word.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data);

// The one version of the library the system was written for.
inline constexpr DWORD BASS_VERSION = 0x00050000;

// BASS_MusicLoad flags: ramp volume changes (libxmp always does), and play the module on from its
// restart position at its end instead of falling silent.
inline constexpr DWORD BASS_MUSIC_RAMP = 1;
inline constexpr DWORD BASS_MUSIC_LOOP = 4;

// Sync on the notes of one instrument: parameter = instrument (1 = the first) in the low word,
// 0xFFFF (every note) in the high word.
inline constexpr DWORD BASS_SYNC_MUSICINST = 1;
inline constexpr DWORD BASS_SYNC_EVERY_NOTE = 0xFFFF0000u;

inline constexpr int BASS_OK = 0;
inline constexpr int BASS_ERROR_HANDLE = 5;     // no module with that handle
inline constexpr int BASS_ERROR_INIT = 8;       // BASS_Init has not succeeded
inline constexpr int BASS_ERROR_ALREADY = 14;   // BASS_Init called twice
inline constexpr int BASS_ERROR_ILLTYPE = 19;   // a sync type the library does not know
inline constexpr int BASS_ERROR_ILLPARAM = 20;  // a parameter out of range; a refused sync
inline constexpr int BASS_ERROR_DEVICE = 23;    // no sound device for that device number and rate
inline constexpr int BASS_ERROR_FILEFORM = 41;  // not an extended module, or a damaged one

DWORD BASS_GetVersion();
// Opens the output device (-1: the default one) at `freq` frames a second, 16-bit stereo.
// No flags are defined; the window is not needed by either output.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND window);
// Loads an extended module from the `length` bytes at `file` (`mem` must be TRUE: modules come
// from memory only). The library keeps what it needs; the caller may free the bytes at once.
// Loading another module replaces the one before.
HMUSIC BASS_MusicLoad(const void* file, BOOL mem, DWORD flags, DWORD length);
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC* proc);
int BASS_ErrorGetCode();
// Starts the output; until a module plays it plays silence.
BOOL BASS_Start();
// Plays the module from its beginning.
BOOL BASS_MusicPlay(HMUSIC handle);

