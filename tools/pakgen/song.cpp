#include "tools/pakgen/song.h"

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/pakgen/instruments.h"

namespace {

constexpr int kChannels = 16;
constexpr int kBar = 16, kBeat = 4;

enum Channel {
  kKickChannel, kSnareChannel, kHatChannel, kPercChannel, kBassChannel, kPadChannel1, kPadChannel2, kPadChannel3,
  kChoirChannel, kLeadChannel, kArpChannel, kBellChannel, kStabChannel, kCrashChannel, kRiserChannel, kEchoChannel
};

struct Chord {
  const char* bass;
  std::array<const char*, 3> pad;
  std::array<const char*, 4> arp;
  const char* stab;
};

const Chord& ChordNamed(const std::string& name) {
  static const std::map<std::string, Chord> kChords{
      {"Am", {"A-1", {"A-3", "C-4", "E-4"}, {"E-4", "A-4", "C-5", "E-5"}, "A-3"}},
      {"F", {"F-1", {"A-3", "C-4", "F-4"}, {"F-4", "A-4", "C-5", "F-5"}, "F-3"}},
      {"C", {"C-2", {"G-3", "C-4", "E-4"}, {"E-4", "G-4", "C-5", "E-5"}, "C-4"}},
      {"G", {"G-1", {"G-3", "B-3", "D-4"}, {"D-4", "G-4", "B-4", "D-5"}, "G-3"}},
      {"Dm", {"D-2", {"A-3", "D-4", "F-4"}, {"D-4", "F-4", "A-4", "D-5"}, "D-4"}},
      {"E", {"E-1", {"G#3", "B-3", "E-4"}, {"E-4", "G#4", "B-4", "E-5"}, "E-3"}},
  };
  const auto found = kChords.find(name);
  if (found == kChords.end()) throw std::runtime_error("unknown chord " + name);
  return found->second;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;)
    if (w != "|") words.push_back(w);
  return words;
}

std::uint8_t Transpose(const char* note, int semitones) { return static_cast<std::uint8_t>(NoteNumber(note) + semitones); }

// The whole song as one long grid of rows, cut into patterns at the slot boundaries at the end.
class Score {
 public:
  explicit Score(int rows) : rows_(rows), cells_(static_cast<std::size_t>(rows) * kChannels) {}

  void note(int row, int channel, std::uint8_t note, std::uint8_t instrument, int volume) {
    if (row < 0 || row >= rows_) throw std::runtime_error("note outside the song at row " + std::to_string(row));
    XmCell& cell = cells_[static_cast<std::size_t>(row) * kChannels + channel];
    cell.note = note;
    cell.instrument = instrument;
    cell.volume = static_cast<std::uint8_t>(0x10 + std::clamp(volume, 0, 64));
  }
  void off(int row, int channel) {
    if (row >= rows_) return;
    XmCell& cell = cells_[static_cast<std::size_t>(row) * kChannels + channel];
    if (cell.note == 0) cell.note = kKeyOff;
  }

  XmModule module() const {
    XmModule m;
    m.name = "KALETH";
    m.tracker = "Orvalis pakgen";
    m.channels = kChannels;
    m.speed = 6;
    m.bpm = 120;
    for (std::size_t slot = 0; slot + 1 < kSlotRows.size(); ++slot) {
      XmPattern pattern;
      pattern.rows = kSlotRows[slot + 1] - kSlotRows[slot];
      pattern.cells.assign(cells_.begin() + static_cast<std::ptrdiff_t>(kSlotRows[slot]) * kChannels,
                           cells_.begin() + static_cast<std::ptrdiff_t>(kSlotRows[slot + 1]) * kChannels);
      m.patterns.push_back(std::move(pattern));
      m.orders.push_back(static_cast<std::uint8_t>(slot));
    }
    m.restart = static_cast<int>(m.orders.size()) - 1;
    return m;
  }

 private:
  int rows_;
  std::vector<XmCell> cells_;
};

// A stretch of music with its own bar grid: bars of 16 rows from `start`, one chord each.
struct Section {
  Score& score;
  int start;
  std::vector<std::string> chords;

  int bars() const { return static_cast<int>(chords.size()); }
  int end() const { return start + bars() * kBar; }
  int bar(int i) const { return start + i * kBar; }
  const Chord& chord(int i) const { return ChordNamed(chords[static_cast<std::size_t>(i)]); }

  void kicks(int volume, int from = 0, int to = -1) const {
    for (int b = from; b < (to < 0 ? bars() : to); ++b)
      for (int beat = 0; beat < 4; ++beat) score.note(bar(b) + beat * kBeat, kKickChannel, NoteNumber("C-4"), kKick, volume);
  }
  void backbeat(std::uint8_t instrument, int volume, int from = 0, int to = -1) const {
    for (int b = from; b < (to < 0 ? bars() : to); ++b)
      for (int row : {4, 12}) score.note(bar(b) + row, kSnareChannel, NoteNumber("C-4"), instrument, volume);
  }
  // Hats every `step` rows; on the off-beats when step is 4. Accented on the eighths.
  void hats(int step, int volume, bool openOnLast, int from = 0, int to = -1) const {
    for (int b = from; b < (to < 0 ? bars() : to); ++b) {
      for (int row = step == 4 ? 2 : 0; row < kBar; row += step) {
        const bool open = openOnLast && row == 14;
        score.note(bar(b) + row, kHatChannel, NoteNumber("C-4"), open ? kOpenHat : kClosedHat,
                   row % 4 == 2 ? volume : volume * 2 / 3);
      }
    }
  }
  void accents(const std::vector<int>& rowsEven, const std::vector<int>& rowsOdd, int volume) const {
    for (int b = 0; b < bars(); ++b)
      for (int row : (b % 2 ? rowsOdd : rowsEven))
        score.note(bar(b) + row, kStabChannel, NoteNumber(chord(b).stab), kStab, volume);
  }
  enum class BassStyle { Whole, Octaves, Syncopated };
  void bass(BassStyle style, int volume, int from = 0, int to = -1) const {
    for (int b = from; b < (to < 0 ? bars() : to); ++b) {
      const char* root = chord(b).bass;
      if (style == BassStyle::Whole) {
        score.note(bar(b), kBassChannel, NoteNumber(root), kBass, volume);
        score.note(bar(b) + 10, kBassChannel, Transpose(root, 12), kBass, volume * 2 / 3);
      } else if (style == BassStyle::Octaves) {
        for (int row = 0; row < kBar; row += 2)
          score.note(bar(b) + row, kBassChannel, Transpose(root, row % 4 ? 12 : 0), kBass, row % 4 ? volume * 3 / 4 : volume);
      } else {
        for (int row : {0, 3, 6, 8, 11, 14})
          score.note(bar(b) + row, kBassChannel, Transpose(root, row == 6 || row == 14 ? 12 : 0), kBass, volume);
      }
    }
  }
  void pad(int volume, int from = 0, int to = -1) const {
    const int last = to < 0 ? bars() : to;
    for (int b = from; b < last; ++b)
      for (int v = 0; v < 3; ++v)
        score.note(bar(b), kPadChannel1 + v, NoteNumber(chord(b).pad[static_cast<std::size_t>(v)]), kPad, volume);
    for (int v = 0; v < 3; ++v) score.off(bar(last), kPadChannel1 + v);
  }
  void choir(int volume, int from = 0, int to = -1) const {
    const int last = to < 0 ? bars() : to;
    for (int b = from; b < last; ++b) score.note(bar(b), kChoirChannel, NoteNumber(chord(b).pad[2]), kChoir, volume);
    score.off(bar(last), kChoirChannel);
  }
  // Sixteenth-note arpeggio up and down the chord.
  void arp(int volume, int step = 2, int from = 0, int to = -1) const {
    static constexpr int kOrder[] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int b = from; b < (to < 0 ? bars() : to); ++b)
      for (int row = 0, i = 0; row < kBar; row += step, ++i)
        score.note(bar(b) + row, kArpChannel, NoteNumber(chord(b).arp[static_cast<std::size_t>(kOrder[i % 8])]), kPluck,
                   row % 4 == 0 ? volume : volume * 3 / 4);
  }
  // Slow bell figure from the top of each chord.
  void bells(int volume, int from = 0, int to = -1) const {
    for (int b = from; b < (to < 0 ? bars() : to); ++b) {
      const auto& notes = chord(b).arp;
      score.note(bar(b), kBellChannel, NoteNumber(notes[3]), kBell, volume);
      score.note(bar(b) + 6, kBellChannel, NoteNumber(notes[2]), kBell, volume * 3 / 4);
      score.note(bar(b) + 12, kBellChannel, NoteNumber(notes[1]), kBell, volume * 2 / 3);
    }
  }
  // A tune written as "NOTE:rows" words ("r:rows" rests); an echo answers it three rows later.
  void melody(const std::string& tune, int volume, int fromBar = 0, bool echo = true) const {
    int row = bar(fromBar);
    for (const std::string& word : Words(tune)) {
      const auto colon = word.find(':');
      const std::string pitch = word.substr(0, colon);
      const int length = std::stoi(word.substr(colon + 1));
      if (pitch == "r") {
        score.off(row, kLeadChannel);
        if (echo) score.off(row + 3, kEchoChannel);
      } else {
        score.note(row, kLeadChannel, NoteNumber(pitch), kLead, volume);
        if (echo && row + 3 < end()) score.note(row + 3, kEchoChannel, NoteNumber(pitch), kLead, volume / 3);
      }
      row += length;
    }
    score.off(row, kLeadChannel);
    if (echo) score.off(row + 3, kEchoChannel);
  }
  void crash(int atBar, int volume) const { score.note(bar(atBar), kCrashChannel, NoteNumber("C-4"), kCrash, volume); }
  // The riser climbs for two seconds into the row `until`.
  void riseInto(int until, int volume) const {
    score.note(until - 2 * kRowsPerSecond, kRiserChannel, NoteNumber("C-4"), kRiser, volume);
  }
};

// Half a bar of drum fill at `row`: rolls into the next section, with a kick on both beats and an
// accent at its start so both flags keep moving through the shortest slots.
enum class FillKind { SnareRoll, Toms };
void Fill(Score& score, int row, FillKind kind, const char* stab) {
  score.note(row, kKickChannel, NoteNumber("C-4"), kKick, 60);
  score.note(row + 4, kKickChannel, NoteNumber("C-4"), kKick, 56);
  score.note(row, kStabChannel, NoteNumber(stab), kStab, 44);
  if (kind == FillKind::SnareRoll) {
    for (int i = 0; i < 8; ++i) score.note(row + i, kSnareChannel, NoteNumber("C-4"), kSnare, 20 + i * 5);
  } else {
    static constexpr const char* kToms[] = {"E-4", "C-4", "A-3", "F-3"};
    for (int i = 0; i < 4; ++i) score.note(row + 2 * i, kPercChannel, NoteNumber(kToms[i]), kTom, 52);
    score.note(row + 6, kSnareChannel, NoteNumber("C-4"), kSnare, 44);
  }
}

// The two tunes, a bar to a string.
const std::vector<std::string> kTuneA{"E-5:6 D-5:2 C-5:4 B-4:4", "A-4:8 r:4 C-5:4",  "G-5:6 E-5:2 C-5:4 D-5:4",
                                      "D-5:8 B-4:4 G-4:4",       "E-5:6 D-5:2 C-5:4 E-5:4", "A-5:8 G-5:4 F-5:4",
                                      "E-5:6 G-5:2 E-5:4 D-5:4", "B-4:6 D-5:2 G-5:8"};
const std::vector<std::string> kTuneB{"A-5:4 E-5:2 A-5:2 C-6:4 B-5:4", "A-5:6 G-5:2 F-5:4 E-5:4",
                                      "G-5:4 E-5:2 G-5:2 C-6:4 B-5:2 G-5:2", "D-6:8 B-5:4 G-5:4",
                                      "A-5:4 E-5:2 A-5:2 C-6:4 B-5:4", "A-5:6 G-5:2 F-5:4 A-5:4",
                                      "G-5:4 E-5:4 C-6:4 E-6:4", "D-6:6 B-5:2 G-5:4 B-5:4"};

// Bars [first, first + count) of a tune, followed by any further bars.
std::string Bars(const std::vector<std::string>& tune, std::size_t first, std::size_t count,
                 const std::vector<std::string>& more = {}) {
  std::string text;
  for (std::size_t i = first; i < first + count; ++i) text += tune.at(i) + " ";
  for (const std::string& bar : more) text += bar + " ";
  return text;
}

}  // namespace

XmModule ComposeSong() {
  Score score(kSlotRows.back());
  using Style = Section::BassStyle;

  // Opening (slot 0): the pad and bells in the dark, a soft pulse, rising into the first cut.
  const Section intro{score, kSlotRows[0], {"Am", "F", "C", "G", "Am"}};
  intro.pad(44);
  intro.choir(34, 2);
  intro.bells(30);
  intro.kicks(34);
  intro.accents({0}, {}, 30);
  intro.bass(Style::Whole, 40, 2);
  intro.hats(4, 25, false, 3);
  intro.riseInto(kSlotRows[1], 40);
  Fill(score, intro.end(), FillKind::SnareRoll, "E-3");

  // First ripples (slot 1): the groove starts.
  const Section ripple{score, kSlotRows[1], {"F", "G"}};
  ripple.crash(0, 40);
  ripple.kicks(58);
  ripple.backbeat(kClap, 44);
  ripple.hats(2, 33, false);
  ripple.bass(Style::Octaves, 46);
  ripple.pad(36);
  ripple.arp(30);
  ripple.accents({0}, {0}, 40);
  Fill(score, ripple.end(), FillKind::Toms, "E-3");

  // The bulging cube (slot 2): the main theme.
  const Section theme{score, kSlotRows[2], {"Am", "F", "C", "G", "Am", "F", "C", "G", "F", "G"}};
  theme.crash(0, 44);
  theme.crash(8, 36);
  theme.kicks(60);
  theme.backbeat(kSnare, 54);
  theme.hats(2, 33, true);
  theme.bass(Style::Octaves, 48);
  theme.pad(34);
  theme.arp(22);
  theme.melody(Bars(kTuneA, 0, 8), 60);
  theme.melody("A-5:4 G-5:4 F-5:4 E-5:4 | D-5:4 E-5:4 G-5:8", 60, 8);
  theme.accents({0, 10}, {0}, 44);

  // The blobs (slot 3): a breakdown in D minor, accents freezing the picture.
  const Section blobs{score, kSlotRows[3], {"Dm", "Am", "F", "G", "Dm", "Am", "E"}};
  blobs.kicks(44);
  blobs.backbeat(kClap, 38, 4);
  blobs.hats(4, 28, false);
  for (int b = 0; b < 4; ++b)
    for (int row : {6, 14}) score.note(blobs.bar(b) + row, kPercChannel, NoteNumber("C-4"), kRim, 34);
  blobs.bass(Style::Whole, 44, 0, 4);
  blobs.bass(Style::Syncopated, 44, 4);
  blobs.pad(38);
  blobs.choir(36);
  blobs.bells(34);
  blobs.arp(20, 4);
  blobs.accents({0}, {0, 6}, 44);
  blobs.riseInto(kSlotRows[4], 36);
  Fill(score, blobs.end(), FillKind::SnareRoll, "E-3");

  // The diamond (slot 4): the second theme, the accents switching between the two pictures.
  const Section diamond{score, kSlotRows[4], {"Am", "F", "C", "G", "Am", "F", "E"}};
  diamond.crash(0, 44);
  diamond.kicks(60);
  diamond.backbeat(kSnare, 52);
  diamond.hats(2, 30, false);
  diamond.bass(Style::Syncopated, 46);
  diamond.pad(32);
  diamond.arp(30);
  diamond.melody(Bars(kTuneB, 0, 4, {"E-5:6 D-5:2 C-5:4 E-5:4", "A-5:8 G-5:4 F-5:4", "G#5:8 B-5:4 E-5:4"}), 58);
  diamond.accents({0, 8}, {0, 8}, 46);

  // Twisting bar with flares (slots 5 to 9): two tom fills for the one-second tunnel cuts.
  const Section flares{score, kSlotRows[5], {"Am", "F", "C", "G", "Am", "F", "C", "G"}};
  flares.crash(0, 44);
  flares.kicks(60);
  flares.backbeat(kClap, 42);
  flares.backbeat(kSnare, 40);
  flares.hats(2, 33, true);
  flares.bass(Style::Octaves, 48);
  flares.pad(32);
  flares.melody(Bars(kTuneA, 0, 8), 60);
  flares.accents({0, 12}, {0}, 44);
  for (int cut : {kSlotRows[6], kSlotRows[8]}) {
    Fill(score, cut, FillKind::Toms, "C-4");
    score.note(cut + 8, kCrashChannel, NoteNumber("C-4"), kCrash, 42);
  }
  Fill(score, flares.end(), FillKind::SnareRoll, "E-3");

  // Ripples with the verse (slot 10): calmer, the bells carry the tune under the words.
  const Section verse{score, kSlotRows[10], {"Am", "F", "C", "G", "F", "G"}};
  verse.crash(0, 40);
  verse.kicks(52);
  verse.backbeat(kSnare, 34);
  verse.hats(4, 30, false);
  verse.bass(Style::Whole, 46);
  verse.pad(38);
  verse.bells(36);
  verse.arp(24);
  verse.accents({0}, {0}, 42);

  // The framed tunnel (slot 11): the kick drives the blur, the theme returns.
  const Section tunnel{score, kSlotRows[11], {"Am", "F", "C", "G", "Am", "F", "E"}};
  tunnel.crash(0, 46);
  tunnel.kicks(64);
  tunnel.backbeat(kClap, 44);
  tunnel.hats(2, 36, true);
  tunnel.bass(Style::Octaves, 50);
  tunnel.pad(30);
  tunnel.arp(26);
  tunnel.melody(Bars(kTuneA, 0, 6, {"G#4:8 B-4:4 E-5:4"}), 60);
  tunnel.accents({0, 10}, {0}, 44);
  Fill(score, tunnel.end(), FillKind::Toms, "E-3");

  // Greetings (slot 12): everything at once, the second theme an octave of light.
  const Section greetings{score, kSlotRows[12], {"Am", "F", "C", "G", "Am", "F", "C", "G", "E"}};
  for (int b : {0, 4, 8}) greetings.crash(b, 44);
  greetings.kicks(62);
  greetings.backbeat(kSnare, 52);
  greetings.backbeat(kClap, 36);
  greetings.hats(2, 36, true);
  greetings.bass(Style::Octaves, 50);
  greetings.pad(30);
  greetings.choir(30);
  greetings.arp(22);
  greetings.melody(Bars(kTuneB, 0, 8, {"E-6:8 B-5:4 G#5:4"}), 58);
  greetings.accents({0, 8}, {0}, 44);

  // End scroller (slot 13, loops): the pad and bells again, the pulse soft.
  const Section outro{score, kSlotRows[13], {"Am", "F", "C", "G", "Am", "F", "C", "G"}};
  outro.pad(42);
  outro.choir(32);
  outro.bells(32);
  outro.kicks(36);
  outro.hats(4, 19, false);
  outro.bass(Style::Whole, 40);
  outro.arp(18, 4);
  outro.accents({0}, {}, 30);

  XmModule module = score.module();
  module.instruments = MakeInstruments();
  return module;
}
