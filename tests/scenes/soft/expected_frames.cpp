#include "tests/scenes/soft/expected_frames.h"

#include <algorithm>
#include <cmath>

namespace soft_test {

namespace {

std::uint32_t ShadeDown(std::uint32_t texel, long long shade) {
  const int s = static_cast<int>(shade);
  return Pixel(std::max(Byte(texel, 0) - s, 0), std::max(Byte(texel, 1) - s, 0), std::max(Byte(texel, 2) - s, 0));
}

}  // namespace

std::pair<int, int> WarpTextCorner(std::uint32_t a) {
  const double angle = static_cast<double>(static_cast<std::uint32_t>(2 * a));
  return {Trunc(10 * std::fabs(std::cos(angle))), Trunc(10 * std::fabs(std::sin(angle)))};
}

Picture ExpectedWarpFrame(const WarpPictures& pictures, std::uint32_t a, unsigned timelineNumber) {
  const std::uint32_t* texture = timelineNumber <= 3 ? pictures.texture5 : pictures.texture6;
  const auto [top, left] = WarpTextCorner(a);
  const std::uint32_t* text = pictures.texts[std::min<std::uint32_t>(a / 1500, 5)];
  Picture frame(kCanvasWidth * kCanvasHeight);
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      const int p = Trunc(-150 * Sin(a / 3 + x));
      const int q = Trunc(-100 * Cos(a / 4 + y));
      const std::uint32_t texel = texture[Low8(y - p) * 256 + Low8(x - q)];
      const std::uint32_t under = pictures.overlay[y * kCanvasWidth + x];
      int bytes[4];
      for (int i = 0; i < 4; ++i) bytes[i] = (Byte(texel, i) + Byte(under, i)) / 2;
      if (timelineNumber > 3 && y >= top && y < top + 80 && x >= left && x < left + 200) {
        const std::uint32_t shown = text[(y - top) * 200 + x - left];
        for (int i = 0; i < 4; ++i) bytes[i] = std::min(255, bytes[i] + Byte(shown, i));
      }
      frame[y * kCanvasWidth + x] = Pixel(bytes[0], bytes[1], bytes[2], bytes[3]);
    }
  }
  return frame;
}

void FormulaFieldTables(Table* depth, Table* angle) {
  depth->assign(560 * 1024, 0);
  angle->assign(560 * 1024, 0);
  for (int r = 0; r < 560; ++r) {
    for (int c = 0; c < 1024; ++c) {
      const double y = r - 280, x = c - 512;
      (*depth)[r * 1024 + c] = Trunc(15000 / (std::sqrt(x * x + y * y) + 1));
      (*angle)[r * 1024 + c] = Trunc(std::atan2(x, y) * 81.4873996925124);
    }
  }
}

std::vector<std::pair<int, int>> ExpectedFieldShifts(std::uint32_t a) {
  return {{Trunc(139.5 * Cos(a / 2) + 140), 256 - Trunc(255.5 * Sin(a / 4))},
          {Trunc(139.5 * Sin(a / 2) + 140), 256 - Trunc(-255.5 * Cos(a / 4))},
          {Trunc(140 - 139.5 * Cos(a / 2)), 256 - Trunc(-255.5 * Sin(a / 4))},
          {Trunc(139.5 * Cos(a / 8) + 140), 256 - Trunc(255.5 * Sin(a / 2))}};
}

Picture ExpectedFieldFrame(const std::uint32_t* texture, const Table& depth, const Table& angle, std::uint32_t a) {
  const auto shifts = ExpectedFieldShifts(a);
  Picture frame(kCanvasWidth * kCanvasHeight);
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      long long depthSum = 0, angleSum = 0;
      for (const auto& [shiftY, shiftX] : shifts) {
        depthSum += depth[(y + shiftY) * 1024 + x + shiftX];
        angleSum += angle[(y + shiftY) * 1024 + x + shiftX];
      }
      const std::uint32_t texel = texture[Low8(a / 4 + 2 * depthSum) * 256 + Low8(angleSum)];
      frame[y * kCanvasWidth + x] = ShadeDown(texel, std::min<long long>(2 * depthSum / 7, 255));
    }
  }
  return frame;
}

void FormulaGreetingsTables(Table* depth, Table* angle) {
  depth->assign(kCanvasWidth * kCanvasHeight, 0);
  angle->assign(kCanvasWidth * kCanvasHeight, 0);
  for (int r = 0; r < kCanvasHeight; ++r) {
    for (int c = 0; c < kCanvasWidth; ++c) {
      const double y = r - 139.5, x = c - 255.5;
      (*depth)[r * kCanvasWidth + c] = Trunc(7000 / (std::sqrt(x * x + y * y) + 1));
      (*angle)[r * kCanvasWidth + c] = Trunc(std::atan2(x, y) * 0.31830988614222805 * 256);
    }
  }
}

ExpectedGreeting ExpectedGreetingPlacement(std::uint32_t a) {
  const int w = Trunc(256 / (std::fabs(7 * Sin(a / 3)) + 2));
  return {static_cast<int>(std::min<std::uint32_t>(a / 2000, 8)), w, (1u << 24) / static_cast<std::uint32_t>(2 * w - 1)};
}

std::uint32_t ExpectedBlendTexel(const GreetingsPictures& pictures, std::uint32_t a, int index) {
  const int m = Trunc(127 * Sin(a / 2) + 128);
  const std::uint32_t t1 = pictures.texture1[index], t5 = pictures.texture5[index];
  return Pixel((Byte(t1, 0) * (255 - m) + Byte(t5, 0) * m) >> 8, (Byte(t1, 1) * (255 - m) + Byte(t5, 1) * m) >> 8,
               (Byte(t1, 2) * (255 - m) + Byte(t5, 2) * m) >> 8);
}

Picture ExpectedGreetingsFrame(const GreetingsPictures& pictures, const Table& depth, const Table& angle,
                               std::uint32_t a) {
  const int turn = Trunc(300 * std::cos(a / 1000.0) + 200);
  const int advance = Low8(2 * (a / 8));
  const ExpectedGreeting place = ExpectedGreetingPlacement(a);
  Picture frame(kCanvasWidth * kCanvasHeight);
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      const int d = depth[y * kCanvasWidth + x], g = angle[y * kCanvasWidth + x];
      std::uint32_t pixel = ShadeDown(ExpectedBlendTexel(pictures, a, Low8(d + advance) * 256 + Low8(g + turn)),
                                      std::min(d, 255));
      const int i = y - (140 - place.halfSize), j = x - (256 - place.halfSize);
      if (i >= 0 && i < 2 * place.halfSize && j >= 0 && j < 2 * place.halfSize) {
        const std::uint32_t source =
            pictures.greetings[place.picture][((i * place.step) >> 16) * 256 + ((j * place.step) >> 16)];
        if (source != 0) pixel = source;
      }
      frame[y * kCanvasWidth + x] = pixel;
    }
  }
  return frame;
}

Picture ExpectedScrollerFrame(const std::uint32_t* background, const std::uint32_t* text, std::uint32_t a) {
  const int firstRow = a < 20000 ? static_cast<int>(a / 25) : 800;
  Picture frame(kCanvasWidth * kCanvasHeight);
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      frame[y * kCanvasWidth + x] = x < 320 ? text[(firstRow + y) * 320 + x] : background[y * kCanvasWidth + x];
    }
  }
  return frame;
}

}  // namespace soft_test
