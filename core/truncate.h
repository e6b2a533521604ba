// The one float-to-integer conversion for values that may leave the 32-bit range, such as a
// distance divided by a nearly zero component. A bare cast of such a value is undefined.
#pragma once

#include <cstdint>
#include <limits>

// Truncates toward zero. Values beyond the range saturate to its ends (infinities included), so a
// ray that never meets its surface still reads as infinitely far: two such neighbours average to
// a far value again instead of wrapping to zero. A NaN (an infinite distance times zero) gives 0.
inline std::int32_t TruncateToInt32(double value) {
  if (value != value) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}
