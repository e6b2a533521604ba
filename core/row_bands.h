// Rows of a picture painted in bands of kBandRows on the thread pool, for the scenes whose rows
// are painted independently: a band writes only its own rows and reads nothing another band
// writes, so the bytes do not depend on how many threads share the work or which band ends first.
// A scene that reads pixels it has already rewritten (the radial blur) must not use this. With
// one thread the bands run in order on the calling thread.
#pragma once

#include <memory>
#include <type_traits>

inline constexpr int kBandRows = 16;

// Paints rows [firstRow, endRow) of the picture whose context is given.
using RowBandPainter = void (*)(void* context, int firstRow, int endRow);

// Calls paint for the bands covering rows [0, rows) and returns when all have returned.
void PaintRowBands(int rows, RowBandPainter paint, void* context);

// The same for any callable taking (firstRow, endRow).
template <class Paint>
void PaintRowBands(int rows, Paint&& paint) {
  using Callable = std::remove_reference_t<Paint>;
  PaintRowBands(
      rows, [](void* context, int firstRow, int endRow) { (*static_cast<Callable*>(context))(firstRow, endRow); },
      const_cast<void*>(static_cast<const void*>(std::addressof(paint))));
}
