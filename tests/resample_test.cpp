#include "scan/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

std::vector<double> Sine(double hz, double rate, std::size_t frames) {
  std::vector<double> sine(frames);
  for (std::size_t i = 0; i < frames; ++i) sine[i] = std::sin(2 * M_PI * hz * i / rate);
  return sine;
}

}  // namespace

// Each case resamples a full-scale sine 400 samples of the lower rate long,
// and compares output frames 100 to 300 of those samples, away from the
// ends, with the exact sine at their times, or with silence for a tone above
// the new Nyquist frequency: the error's RMS, in dB below the sine's.
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
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to) + " Hz, " +
                 std::to_string(c.hz) + " Hz");
    const double lower = std::min(c.from, c.to);
    const auto in = Sine(c.hz, c.from, static_cast<std::size_t>(400 * (c.from / lower)));
    const auto first = static_cast<std::uint64_t>(100 * (c.to / lower));
    const auto count = static_cast<std::size_t>(std::min(200 * (c.to / lower), 4000.0));
    std::vector<double> out;
    Resample(MakeResampler(c.from, c.to), in, 1, 0, first, count, &out);
    // As double output, and as float output would hold it.
    double error = 0, floatError = 0;
    for (std::size_t n = 0; n < count; ++n) {
      const double exact =
          c.passes ? std::sin(2 * M_PI * c.hz * ((first + n) / static_cast<double>(c.to))) : 0;
      error += (out[n] - exact) * (out[n] - exact);
      floatError += (static_cast<float>(out[n]) - exact) * (static_cast<float>(out[n]) - exact);
    }
    error = std::max(error, floatError) / count;
    EXPECT_LT(10 * std::log10(error / 0.5), c.mostDb);
  }
}

// A sound resampled a block at a time, each block from the input frames that
// FramesRead names, is the sound resampled whole.
TEST(Resample, GivesTheSameFramesABlockAtATime) {
  const std::uint32_t rates[][2] = {{44100, 22050}, {8000, 44100}, {11127, 44100}, {48000, 44100}};
  for (const auto& r : rates) {
    SCOPED_TRACE(std::to_string(r[0]) + " -> " + std::to_string(r[1]) + " Hz");
    const Resampler filter = MakeResampler(r[0], r[1]);
    std::vector<double> in(3000);
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = std::sin(i * 0.37) * std::cos(i * 0.011);
    const auto in2 = [&] {  // two channels, the second another sound
      auto both = in;
      for (double x : in) both.push_back(x * x - 0.5);
      return both;
    }();
    const auto frames = static_cast<std::size_t>(FramesAtRate(3000, r[0], r[1]));
    std::vector<double> whole, block;
    Resample(filter, in2, 2, 0, 0, frames, &whole);
    for (std::size_t first = 0; first < frames; first += 997) {
      const std::size_t count = std::min<std::size_t>(997, frames - first);
      std::uint64_t begin = 0, end = 0;
      FramesRead(filter, first, count, &begin, &end);
      end = std::min<std::uint64_t>(end, 3000);
      std::vector<double> part;
      for (unsigned c = 0; c < 2; ++c)
        part.insert(part.end(), in2.begin() + c * 3000 + begin, in2.begin() + c * 3000 + end);
      Resample(filter, part, 2, begin, first, count, &block);
      for (unsigned c = 0; c < 2; ++c) {
        for (std::size_t n = 0; n < count; ++n)
          ASSERT_EQ(block[c * count + n], whole[c * frames + first + n]) << c << " " << first + n;
      }
    }
  }
}

// Rates at the ends of the range: coefficients computed, not tabled per
// phase, and times counted without overflow.
TEST(Resample, TakesAnyPairOfRates) {
  const std::uint32_t rates[][2] = {
      {4294967295, 1}, {1, 4294967295}, {2, 4294967295}, {4294967295, 3}};
  for (const auto& r : rates) {
    const Resampler filter = MakeResampler(r[0], r[1]);
    EXPECT_LE(filter.rows.size() + filter.table.size(), std::size_t{1} << 18);
    const std::vector<double> in(5000, 0.5);
    std::vector<double> out;
    Resample(filter, in, 1, 0, 0, 3, &out);
    // A constant near the start: the filter's gain over the frames it sees.
    for (double x : out) EXPECT_TRUE(x >= -0.6 && x <= 0.6) << x;
  }
  EXPECT_EQ(FramesAtRate(4294967295, 1, 4294967295), 4294967295ull * 4294967295ull);
  EXPECT_EQ(FramesAtRate(4294967295, 4294967295, 1), 1u);
  EXPECT_EQ(FramesAtRate(3, 44100, 22050), 2u);
  EXPECT_EQ(FramesAtRate(4, 44100, 22050), 2u);
}
