#include "apps/pakgen/song.h"

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "apps/pakgen/instruments.h"

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
  // A short snare run over the last beat of every fourth bar, leading into the next phrase.
  void phraseTurns(int volume) const {
    for (int b = 3; b + 1 < bars(); b += 4)
      for (int row = 12; row < kBar; ++row)
        score.note(bar(b) + row, kSnareChannel, NoteNumber("C-4"), kSnare, volume * (row - 8) / 8);
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

// One section's arrangement. A layer with volume 0 is left out; `from` is the bar it enters on.
struct Layer {
  int volume = 0;
  int from = 0;
};
struct Arrangement {
  int slot = 0;
  std::vector<std::string> chords{};
  std::vector<int> crashBars{};
  Layer kick{}, snare{}, clap{};
  int hatStep = 4;
  Layer hats{};
  bool openHats = false;
  Section::BassStyle bassStyle = Section::BassStyle::Whole;
  Layer bass{}, pad{}, choir{}, bells{}, arp{};
  int arpStep = 2;
  std::vector<int> accentsEven{}, accentsOdd{};
  int accentVolume = 44;
  std::string tune{};
  int tuneVolume = 60;
  bool turns = false;                                  // snare runs closing each four-bar phrase
  bool rise = false;                                   // a riser into the next section
  enum class Ending { None, SnareRoll, Toms } ending = Ending::None;  // half a bar of fill after the bars
};

void Arrange(Score& score, const Arrangement& a) {
  const Section s{score, kSlotRows[static_cast<std::size_t>(a.slot)], a.chords};
  for (int b : a.crashBars) s.crash(b, 42);
  if (a.kick.volume) s.kicks(a.kick.volume, a.kick.from);
  if (a.snare.volume) s.backbeat(kSnare, a.snare.volume, a.snare.from);
  if (a.clap.volume) s.backbeat(kClap, a.clap.volume, a.clap.from);
  if (a.hats.volume) s.hats(a.hatStep, a.hats.volume, a.openHats, a.hats.from);
  if (a.bass.volume) s.bass(a.bassStyle, a.bass.volume, a.bass.from);
  if (a.pad.volume) s.pad(a.pad.volume, a.pad.from);
  if (a.choir.volume) s.choir(a.choir.volume, a.choir.from);
  if (a.bells.volume) s.bells(a.bells.volume, a.bells.from);
  if (a.arp.volume) s.arp(a.arp.volume, a.arpStep, a.arp.from);
  s.accents(a.accentsEven, a.accentsOdd, a.accentVolume);
  if (!a.tune.empty()) s.melody(a.tune, a.tuneVolume);
  if (a.turns) s.phraseTurns(a.snare.volume ? a.snare.volume : a.clap.volume);
  if (a.rise) s.riseInto(kSlotRows[static_cast<std::size_t>(a.slot) + 1], 38);
  if (a.ending != Arrangement::Ending::None)
    Fill(score, s.end(), a.ending == Arrangement::Ending::Toms ? FillKind::Toms : FillKind::SnareRoll, "E-3");
}

}  // namespace

XmModule ComposeSong() {
  using Style = Section::BassStyle;
  using End = Arrangement::Ending;
  const std::vector<std::string> cycle{"Am", "F", "C", "G", "Am", "F", "C", "G"};
  const std::vector<Arrangement> song{
      // Opening (slot 0): the pad and bells in the dark, a soft pulse, rising into the first cut.
      {.slot = 0, .chords = {"Am", "F", "C", "G", "Am"}, .kick = {34}, .hats = {25, 3}, .bass = {40, 2},
       .pad = {44}, .choir = {34, 2}, .bells = {30}, .accentsEven = {0}, .accentVolume = 30, .rise = true,
       .ending = End::SnareRoll},
      // First ripples (slot 1): the groove starts.
      {.slot = 1, .chords = {"F", "G"}, .crashBars = {0}, .kick = {58}, .clap = {44}, .hatStep = 2, .hats = {33},
       .bassStyle = Style::Octaves, .bass = {46}, .pad = {36}, .arp = {30}, .accentsEven = {0}, .accentsOdd = {0},
       .accentVolume = 40, .ending = End::Toms},
      // The bulging cube (slot 2): the main theme.
      {.slot = 2, .chords = {"Am", "F", "C", "G", "Am", "F", "C", "G", "F", "G"}, .crashBars = {0, 8}, .kick = {60},
       .snare = {54}, .hatStep = 2, .hats = {33}, .openHats = true, .bassStyle = Style::Octaves, .bass = {48},
       .pad = {34}, .arp = {22}, .accentsEven = {0, 10}, .accentsOdd = {0},
       .tune = Bars(kTuneA, 0, 8, {"A-5:4 G-5:4 F-5:4 E-5:4", "D-5:4 E-5:4 G-5:8"}), .turns = true},
      // The blobs (slot 3): a breakdown in D minor, accents freezing the picture.
      {.slot = 3, .chords = {"Dm", "Am", "F", "G", "Dm", "Am", "E"}, .kick = {44}, .clap = {38, 4}, .hats = {28},
       .bassStyle = Style::Syncopated, .bass = {44, 4}, .pad = {38}, .choir = {36}, .bells = {34}, .arp = {20},
       .arpStep = 4, .accentsEven = {0}, .accentsOdd = {0, 6}, .rise = true, .ending = End::SnareRoll},
      // The diamond (slot 4): the second theme, the accents switching between the two pictures.
      {.slot = 4, .chords = {"Am", "F", "C", "G", "Am", "F", "E"}, .crashBars = {0}, .kick = {60}, .snare = {52},
       .hatStep = 2, .hats = {30}, .bassStyle = Style::Syncopated, .bass = {46}, .pad = {32}, .arp = {30},
       .accentsEven = {0, 8}, .accentsOdd = {0, 8}, .accentVolume = 46,
       .tune = Bars(kTuneB, 0, 4, {"E-5:6 D-5:2 C-5:4 E-5:4", "A-5:8 G-5:4 F-5:4", "G#5:8 B-5:4 E-5:4"}),
       .tuneVolume = 58, .turns = true},
      // Twisting bar with flares (slots 5 to 9), with tom fills for the one-second tunnel cuts.
      {.slot = 5, .chords = cycle, .crashBars = {0}, .kick = {60}, .snare = {40}, .clap = {42}, .hatStep = 2,
       .hats = {33}, .openHats = true, .bassStyle = Style::Octaves, .bass = {48}, .pad = {32},
       .accentsEven = {0, 12}, .accentsOdd = {0}, .tune = Bars(kTuneA, 0, 8), .turns = true,
       .ending = End::SnareRoll},
      // Ripples with the verse (slot 10): calmer, the bells carry the tune under the words.
      {.slot = 10, .chords = {"Am", "F", "C", "G", "F", "G"}, .crashBars = {0}, .kick = {52}, .snare = {34},
       .hats = {30}, .bass = {46}, .pad = {38}, .bells = {36}, .arp = {24}, .accentsEven = {0}, .accentsOdd = {0},
       .accentVolume = 42},
      // The framed tunnel (slot 11): the kick drives the blur, the theme returns.
      {.slot = 11, .chords = {"Am", "F", "C", "G", "Am", "F", "E"}, .crashBars = {0}, .kick = {64}, .clap = {44},
       .hatStep = 2, .hats = {36}, .openHats = true, .bassStyle = Style::Octaves, .bass = {50}, .pad = {30},
       .arp = {26}, .accentsEven = {0, 10}, .accentsOdd = {0}, .tune = Bars(kTuneA, 0, 6, {"G#4:8 B-4:4 E-5:4"}),
       .turns = true, .ending = End::Toms},
      // Greetings (slot 12): everything at once, the second theme high above.
      {.slot = 12, .chords = {"Am", "F", "C", "G", "Am", "F", "C", "G", "E"}, .crashBars = {0, 4, 8}, .kick = {62},
       .snare = {52}, .clap = {36}, .hatStep = 2, .hats = {36}, .openHats = true, .bassStyle = Style::Octaves,
       .bass = {50}, .pad = {30}, .choir = {30}, .arp = {22}, .accentsEven = {0, 8}, .accentsOdd = {0},
       .tune = Bars(kTuneB, 0, 8, {"E-6:8 B-5:4 G#5:4"}), .tuneVolume = 58, .turns = true},
      // End scroller (slot 13, loops): the pad and bells again, the pulse soft.
      {.slot = 13, .chords = cycle, .kick = {36}, .hats = {19}, .bass = {40}, .pad = {42}, .choir = {32},
       .bells = {32}, .arp = {18}, .arpStep = 4, .accentsEven = {0}, .accentVolume = 30},
  };
  Score score(kSlotRows.back());
  for (const Arrangement& a : song) Arrange(score, a);
  // The blobs' first half walks on rim clicks and a plain bass before the groove comes in.
  const Section blobs{score, kSlotRows[3], song[3].chords};
  blobs.bass(Style::Whole, 44, 0, 4);
  for (int b = 0; b < 4; ++b)
    for (int row : {6, 14}) score.note(blobs.bar(b) + row, kPercChannel, NoteNumber("C-4"), kRim, 34);
  // The one-second tunnel cuts between the flare slots get a fill each and a crash after.
  for (int cut : {kSlotRows[6], kSlotRows[8]}) {
    Fill(score, cut, FillKind::Toms, "C-4");
    score.note(cut + 8, kCrashChannel, NoteNumber("C-4"), kCrash, 42);
  }
  XmModule module = score.module();
  module.instruments = MakeInstruments();
  return module;
}
