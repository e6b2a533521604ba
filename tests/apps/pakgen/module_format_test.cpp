// The module's own structure, read without a player (players forgive loops past a sample's end
// and broken envelopes, so only a strict walk catches them), and its instruments in tune.
#include <gtest/gtest.h>
#include <xmp.h>

#include <cmath>
#include <vector>

#include "tests/apps/pakgen/package_fixture.h"

namespace {

unsigned U16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16; }

TEST(PakgenModuleFormat, PatternsSamplesLoopsAndEnvelopesAreWellFormed) {
  const Bytes& xm = BuiltPackage().at("kaleth.xm");
  ASSERT_GE(xm.size(), 336u);
  EXPECT_EQ(xm[37], 0x1A);
  const unsigned orders = U16(xm, 64), restart = U16(xm, 66), channels = U16(xm, 68), patterns = U16(xm, 70),
                 instruments = U16(xm, 72);
  EXPECT_EQ(U32(xm, 60), 276u);
  EXPECT_LT(restart, orders);
  EXPECT_EQ(channels % 2, 0u);
  EXPECT_EQ(U16(xm, 74) & 1, 1u) << "linear frequencies";
  for (unsigned i = 0; i < orders; ++i) EXPECT_LT(xm[80 + i], patterns);
  std::size_t at = 60 + U32(xm, 60);
  for (unsigned p = 0; p < patterns; ++p) {
    ASSERT_EQ(U32(xm, at), 9u);
    const unsigned rows = U16(xm, at + 5), packed = U16(xm, at + 7);
    EXPECT_GE(rows, 1u);
    EXPECT_LE(rows, 256u);
    // The packed cells must cover exactly rows × channels cells.
    std::size_t cell = at + 9, cells = 0;
    while (cell < at + 9 + packed) {
      const std::uint8_t flags = xm.at(cell++);
      int fields = 4;
      if (flags & 0x80) {
        fields = 0;
        for (int bit = 0; bit < 5; ++bit) fields += (flags >> bit) & 1;
      } else {
        EXPECT_LE(flags, 97) << "note byte";
      }
      cell += static_cast<std::size_t>(fields);
      ++cells;
    }
    EXPECT_EQ(cell, at + 9 + packed) << "pattern " << p;
    EXPECT_EQ(cells, rows * channels) << "pattern " << p;
    at += 9 + packed;
  }
  for (unsigned i = 0; i < instruments; ++i) {
    SCOPED_TRACE("instrument " + std::to_string(i + 1));
    ASSERT_EQ(U32(xm, at), 263u);
    ASSERT_EQ(U16(xm, at + 27), 1u);
    EXPECT_EQ(U32(xm, at + 29), 40u);
    const unsigned points = xm.at(at + 225), sustain = xm.at(at + 227), type = xm.at(at + 233);
    EXPECT_LE(points, 12u);
    if (type & 1) {
      ASSERT_GE(points, 1u);
      EXPECT_EQ(U16(xm, at + 129), 0u) << "first envelope point at tick 0";
      for (unsigned k = 1; k < points; ++k) EXPECT_GT(U16(xm, at + 129 + 4 * k), U16(xm, at + 129 + 4 * (k - 1)));
      for (unsigned k = 0; k < points; ++k) EXPECT_LE(U16(xm, at + 131 + 4 * k), 64u);
      if (type & 2) {
        EXPECT_LT(sustain, points);
      }
    }
    const std::size_t sample = at + 263;
    const std::uint32_t length = U32(xm, sample), loopStart = U32(xm, sample + 4), loopLength = U32(xm, sample + 8);
    const std::uint8_t sampleType = xm.at(sample + 14);
    EXPECT_EQ(sampleType & 0x10, 0x10) << "16-bit";
    EXPECT_EQ(length % 2, 0u);
    EXPECT_NE(xm.at(sample + 17), 0xAD);
    if (sampleType & 3) {
      EXPECT_GT(loopLength, 0u);
      EXPECT_LE(loopStart + loopLength, length) << "loop past the sample's end";
    }
    at = sample + 40 + length;
  }
  EXPECT_EQ(at, xm.size()) << "bytes after the last sample";
}

// Plays one channel alone from the start of an order and measures its pitch by autocorrelation.
double PitchOf(int order, int channel, int skipMs) {
  const Bytes& module = BuiltPackage().at("kaleth.xm");
  xmp_context context = xmp_create_context();
  EXPECT_EQ(xmp_load_module_from_memory(context, module.data(), static_cast<long>(module.size())), 0);
  xmp_start_player(context, 44100, XMP_FORMAT_MONO);
  xmp_set_position(context, order);
  for (int c = 0; c < XMP_MAX_CHANNELS; ++c) xmp_channel_mute(context, c, c != channel);
  std::vector<double> pcm;
  while (pcm.size() < static_cast<std::size_t>(44100 * (skipMs + 150) / 1000)) {
    xmp_play_frame(context);
    xmp_frame_info frame;
    xmp_get_frame_info(context, &frame);
    const auto* s = static_cast<const std::int16_t*>(frame.buffer);
    pcm.insert(pcm.end(), s, s + frame.buffer_size / 2);
  }
  xmp_end_player(context);
  xmp_release_module(context);
  xmp_free_context(context);
  pcm.erase(pcm.begin(), pcm.begin() + 44100 * skipMs / 1000);
  std::vector<double> correlation(44100 / 30 + 2, 0);
  for (std::size_t lag = 44100 / 2000; lag < correlation.size(); ++lag)
    for (std::size_t i = 0; i < 4000; ++i) correlation[lag] += pcm[i] * pcm[i + lag];
  double best = 0;
  for (double v : correlation) best = std::max(best, v);
  for (std::size_t lag = 44100 / 2000 + 1; lag + 1 < correlation.size(); ++lag)
    if (correlation[lag] > 0.85 * best && correlation[lag] >= correlation[lag - 1] && correlation[lag] >= correlation[lag + 1])
      return 44100.0 / lag;
  return 0;
}

TEST(PakgenModuleFormat, TonalInstrumentsPlayTheNotesWritten) {
  // The main theme (order 2) opens on A minor: bass A-1, the pad's lowest voice A-3, the lead E-5.
  struct Expectation {
    int channel;
    double hertz;
  };
  for (const Expectation& e : {Expectation{4, 55.0}, Expectation{5, 220.0}, Expectation{9, 659.26}}) {
    const double measured = PitchOf(2, e.channel, 60);
    EXPECT_NEAR(measured, e.hertz, e.hertz * 0.012) << "channel " << e.channel;
  }
  // The blobs (order 3) open on D minor: the bell plays D-5 over it, the choir F-4.
  EXPECT_NEAR(PitchOf(3, 11, 40), 587.33, 587.33 * 0.012);
  EXPECT_NEAR(PitchOf(3, 8, 600), 349.23, 349.23 * 0.012);
}

}  // namespace
