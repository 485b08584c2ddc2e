#include "sound/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "sound/portable_math.h"

// What the filter is made of, computed without the C library, as the C
// library computes it.
TEST(PortableMath, MatchesTheLibrary) {
  for (double x = -3; x <= 3; x += 0.0137) {
    EXPECT_NEAR(SinPi(x), std::sin(M_PI * x), 4e-15) << x;
    EXPECT_NEAR(BesselI0(3 * x + 9) / std::cyl_bessel_i(0.0, 3 * x + 9), 1, 1e-14) << x;
  }
}

// Each case resamples a full-scale sine 400 samples of the lower rate long,
// in float and in double, and compares output frames 100 to 300 of those
// samples, away from the ends, with the exact sine at their times, or with
// silence for a tone above the new Nyquist frequency: the error's RMS, in dB
// below the sine's.
TEST(Resample, FollowsExactSinesAndStopsWhatTheNewRateCannotHold) {
  const double kWithin01Db = 20 * std::log10(1 - std::pow(10, -0.1 / 20));
  const struct {
    std::uint32_t from, to;
    double hz;
    bool passes;
    double mostDb;
  } cases[] = {
      {44100, 22050, 1000, true, -90},
      {22050, 44100, 1000, true, -90},
      {48000, 11025, 1000, true, -90},
      {8000, 44100, 1000, true, -90},
      // Ratios too fine for a row of coefficients per phase.
      {11127, 44100, 1000, true, -90},
      {44100, 22051, 1000, true, -90},
      {4294967295, 4294967294, 429496729.5, true, -90},
      {1, 4294967295, 0.1, true, -90},
      // 0.9 of the lower Nyquist frequency: within 0.1 dB, and in phase.
      {44100, 22050, 9922.5, true, kWithin01Db},
      {22050, 44100, 9922.5, true, kWithin01Db},
      {48000, 11025, 4961.25, true, kWithin01Db},
      {8000, 44100, 3600, true, kWithin01Db},
      {11127, 44100, 5007.15, true, kWithin01Db},
      // Above the new Nyquist frequency.
      {44100, 22050, 11030, false, -90},
      {44100, 22050, 15000, false, -90},
      {48000, 11025, 5520, false, -90},
      {48000, 11025, 23000, false, -90},
      {44100, 22051, 11030, false, -90},
  };
  const auto errorDb = [](const auto& c, auto zero) {
    const double lower = std::min(c.from, c.to);
    std::vector<decltype(zero)> in(static_cast<std::size_t>(400 * (c.from / lower))), out;
    for (std::size_t i = 0; i < in.size(); ++i)
      in[i] =
          static_cast<decltype(zero)>(std::sin(2 * M_PI * c.hz * static_cast<double>(i) / c.from));
    const auto first = static_cast<std::uint64_t>(100 * (c.to / lower));
    const auto count = static_cast<std::size_t>(std::min(200 * (c.to / lower), 4000.0));
    Resample(MakeResampler(c.from, c.to), in, 1, 0, first, count, &out);
    double error = 0;
    for (std::size_t n = 0; n < count; ++n) {
      const double t = static_cast<double>(first + n) / c.to;
      const double exact = c.passes ? std::sin(2 * M_PI * c.hz * t) : 0;
      error += (out[n] - exact) * (out[n] - exact);
    }
    return 10 * std::log10(error / static_cast<double>(count) / 0.5);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to) + " Hz, " +
                 std::to_string(c.hz) + " Hz");
    EXPECT_LT(errorDb(c, 0.0), c.mostDb);
    EXPECT_LT(errorDb(c, 0.0f), c.mostDb);
  }
}

// A sound resampled a block at a time, each block from the input frames that
// FramesRead names, is the sound resampled whole.
TEST(Resample, GivesTheSameFramesABlockAtATime) {
  const std::uint32_t rates[][2] = {{44100, 22050}, {8000, 44100}, {11127, 44100}, {48000, 44100}};
  std::vector<double> in(6000);  // two channels of 3000 frames
  for (std::size_t i = 0; i < in.size(); ++i) in[i] = std::sin(i * 0.37) * std::cos(i * 0.011);
  for (const auto& r : rates) {
    SCOPED_TRACE(std::to_string(r[0]) + " -> " + std::to_string(r[1]) + " Hz");
    const Resampler filter = MakeResampler(r[0], r[1]);
    const auto frames = static_cast<std::size_t>(FramesAtRate(3000, r[0], r[1]));
    std::vector<double> whole, block;
    Resample(filter, in, 2, 0, 0, frames, &whole);
    for (std::size_t first = 0; first < frames; first += 997) {
      const std::size_t count = std::min<std::size_t>(997, frames - first);
      std::uint64_t begin = 0, end = 0;
      FramesRead(filter, first, count, &begin, &end);
      end = std::min<std::uint64_t>(end, 3000);
      std::vector<double> part(in.begin() + begin, in.begin() + end);
      part.insert(part.end(), in.begin() + 3000 + begin, in.begin() + 3000 + end);
      Resample(filter, part, 2, begin, first, count, &block);
      for (std::size_t n = 0; n < 2 * count; ++n)
        ASSERT_EQ(block[n], whole[n / count * frames + first + n % count]) << first << " " << n;
    }
  }
}

// Rates at the ends of the range: no coefficients tabled per phase, times
// counted without overflow.
TEST(Resample, TakesAnyPairOfRates) {
  const std::uint32_t rates[][2] = {{4294967295, 1}, {1, 4294967295}, {4294967295, 3}};
  for (const auto& r : rates) {
    const Resampler filter = MakeResampler(r[0], r[1]);
    EXPECT_LE(filter.rows.size() + filter.table.size(), std::size_t{1} << 18);
    std::vector<double> out;
    Resample(filter, std::vector<double>(5000, 0.5), 1, 0, 0, 3, &out);
    for (double x : out) EXPECT_TRUE(x >= -0.6 && x <= 0.6) << x;
  }
  EXPECT_EQ(FramesAtRate(4294967295, 1, 4294967295), 4294967295ull * 4294967295ull);
  EXPECT_EQ(FramesAtRate(4294967295, 4294967295, 1), 1u);
  EXPECT_EQ(FramesAtRate(3, 44100, 22050), 2u);
  EXPECT_EQ(FramesAtRate(4, 44100, 22050), 2u);
}
