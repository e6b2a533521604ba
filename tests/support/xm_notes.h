// The notes an extended module plays, worked out from its bytes alone (not through the player):
// the count the instrument syncs are checked against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct XmNote {
  int instrument;
  std::uint64_t frame;  // when it sounds, in frames from the start
};

// Follows the order list (and the restart position at its end) for `frames` frames at `rate`,
// with speed and tempo changes, note delays and the channels' instruments. A tick lasts
// floor(rate * 2.5 / BPM) frames, as the player makes it. Jumps, breaks, pattern loops and
// pattern delays are not followed: a module with them gives an error instead.
bool ListXmNotes(const std::vector<std::uint8_t>& module, std::uint64_t frames, int rate, std::vector<XmNote>* notes,
                 std::string* error);
