// The frames of the software scenes as their formulas give them, computed plainly, pixel by
// pixel and byte by byte, from the pictures and the time: what the scenes' tests and the
// end-to-end checks compare the drawn frames with.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/scenes/soft/soft_scene_test.h"

namespace soft_test {

using Table = std::vector<std::int32_t>;

struct WarpPictures {
  const std::uint32_t* texture5;
  const std::uint32_t* texture6;
  const std::uint32_t* overlay;
  const std::uint32_t* texts[6];
};
// Where the slot-10 text's top-left corner is at time a: {row, column}.
std::pair<int, int> WarpTextCorner(std::uint32_t a);
Picture ExpectedWarpFrame(const WarpPictures& pictures, std::uint32_t a, unsigned timelineNumber);

// The four-centre field's tables, 560 x 1024 each, from their formulas.
void FormulaFieldTables(Table* depth, Table* angle);
std::vector<std::pair<int, int>> ExpectedFieldShifts(std::uint32_t a);
Picture ExpectedFieldFrame(const std::uint32_t* texture, const Table& depth, const Table& angle, std::uint32_t a);

// The greetings tunnel's tables, 512 x 280 each, from their formulas.
void FormulaGreetingsTables(Table* depth, Table* angle);
struct GreetingsPictures {
  const std::uint32_t* texture1;
  const std::uint32_t* texture5;
  const std::uint32_t* greetings[9];
};
struct ExpectedGreeting {
  int picture, halfSize;
  std::uint32_t step;
};
ExpectedGreeting ExpectedGreetingPlacement(std::uint32_t a);
// The blend texel at `index` for time a.
std::uint32_t ExpectedBlendTexel(const GreetingsPictures& pictures, std::uint32_t a, int index);
Picture ExpectedGreetingsFrame(const GreetingsPictures& pictures, const Table& depth, const Table& angle,
                               std::uint32_t a);

Picture ExpectedScrollerFrame(const std::uint32_t* background, const std::uint32_t* text, std::uint32_t a);

}  // namespace soft_test
