// One extended module played by libxmp, tick by tick: 16-bit stereo frames on demand, and the
// notes of each tick reported when the tick's first frame is rendered.
#pragma once

#include <xmp.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/soundlib/instrument_notes.h"
#include "platform/soundlib/repeating_passes.h"

// The frames of one tick at `bpm`: 2.5 / bpm seconds, cut to whole frames the way libxmp cuts
// them, so that the notes keep time with the sound it mixes.
std::size_t TickFrames(int rate, int bpm);

class ModulePlayer {
 public:
  using NoteListener = std::function<void(const SoundingNote&)>;

  ModulePlayer(int rate, NoteListener listener);
  ~ModulePlayer();
  ModulePlayer(const ModulePlayer&) = delete;
  ModulePlayer& operator=(const ModulePlayer&) = delete;

  // Takes a whole extended module from the bytes (libxmp copies what it keeps); false when the
  // bytes are not one.
  bool Load(const std::uint8_t* bytes, std::size_t size);
  int Instruments() const;

  // Plays from the beginning. Without looping the module falls silent when it would start over.
  // When nobody listens, libxmp works at its lowest rate with every channel muted, and passes
  // known to repeat are given without playing them: the ticks, and so the notes and their times,
  // are the same; only the work is saved.
  void Start(bool looping, bool audible);

  // Renders `count` frames (into `frames` unless it is null); silence once the module has ended.
  void Render(std::int16_t* frames, std::size_t count);
  // Frames rendered since the start; while the notes of a tick are reported, the tick's first.
  std::uint64_t Position() const { return position_; }

 private:
  bool PlayTick();

  int rate_;
  NoteListener listener_;
  xmp_context context_;
  const xmp_module* module_ = nullptr;
  bool started_ = false;
  bool ended_ = true;
  bool looping_ = true;
  bool audible_ = true;
  xmp_frame_info info_{};
  const std::int16_t* tick_ = nullptr;  // the current tick's sound, owned by libxmp
  std::size_t tickSound_ = 0;           // frames of it
  std::size_t tickFrames_ = 0;
  std::size_t tickUsed_ = 0;
  std::uint64_t position_ = 0;  // frames rendered since the start
  InstrumentNotes notes_;
  RepeatingPasses passes_;
  std::vector<SoundingNote> sounding_;
};
