#include "sound/fit_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "sound/resample.h"
#include "sound/sample_decode.h"
#include "sound/sample_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr SampleKind kPcm = SampleKind::kPcm;
constexpr SampleKind kFloat = SampleKind::kFloat;

std::string Name(const SampleLayout& l) {
  return (l.kind == kPcm ? "PCM " : "float ") + std::to_string(l.bits) + "/" +
         std::to_string(l.validBits) + " x" + std::to_string(l.channels);
}

Bytes Encode(const std::vector<double>& sound, const SampleLayout& layout) {
  Bytes bytes(sound.size() / layout.channels * FrameBytes(layout));
  EncodeFrames(sound, layout.channels, layout, false, 0, 0, bytes.data());
  return bytes;
}

// Two tones, one a channel, at 0.6 of full scale, in the layout's own samples.
Bytes Tones(const SampleLayout& layout, std::size_t frames) {
  std::vector<double> sound;
  for (unsigned c = 0; c < layout.channels; ++c) {
    for (std::size_t i = 0; i < frames; ++i)
      sound.push_back(0.6 *
                      std::sin(2 * M_PI * (440.0 + 110 * c) * static_cast<double>(i) / 44100));
  }
  return Encode(sound, layout);
}

template <class Sample = double>
std::vector<Sample> Decode(const Bytes& bytes, const SampleLayout& layout, bool toMono = false) {
  std::vector<Sample> sound;
  DecodeFrames(bytes.data(), bytes.size() / FrameBytes(layout), layout, toMono, &sound);
  return sound;
}

FitResult Fit(const Bytes& part, const SampleLayout& from, const SampleLayout& to,
              std::size_t slotFrames, std::uint64_t seed = 1, std::uint32_t toRate = 44100) {
  return FitSound(part.data(), part.size(), from, 44100, to, toRate, slotFrames * FrameBytes(to),
                  seed);
}

}  // namespace

TEST(DecodeFrames, ReadsEachLayoutAtFullScale) {
  const struct {
    SampleLayout layout;
    Bytes bytes;
    std::vector<double> values;
    std::uint64_t invalid = 0;  // not finite, taken as 0
  } cases[] = {
      {{kPcm, 8, 8, 1}, {0x00, 0x80, 0xff}, {-1, 0, 127.0 / 128}},
      {{kPcm, 16, 16, 1},
       {0x00, 0x80, 0xff, 0x7f, 0xff, 0xff},
       {-1, 32767.0 / 32768, -1.0 / 32768}},
      {{kPcm, 24, 24, 1}, {0x00, 0x00, 0x80, 0x01, 0x00, 0x00}, {-1, 1.0 / 8388608}},
      {{kPcm, 32, 24, 1}, {0x00, 0x00, 0x00, 0x40, 0x00, 0x01, 0x00, 0x00}, {0.5, 1.0 / 8388608}},
      {{kFloat, 32, 32, 1}, {0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0xc0, 0x7f}, {1.5, 0}, 1},  // NaN
      {{kFloat, 64, 64, 1},  // and infinity
       {0, 0, 0, 0, 0, 0, 0xd0, 0xbf, 0, 0, 0, 0, 0, 0, 0xf0, 0x7f, 0, 0, 0, 0, 0, 0, 0xf0, 0x3f},
       {-0.25, 0, 1},
       1},
      {{kPcm, 16, 16, 2}, {0x00, 0x40, 0x00, 0xc0, 0x00, 0x40, 0x00, 0x20}, {0.5, 0.5, -0.5, 0.25}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(c.bytes, c.layout), c.values) << Name(c.layout);
    EXPECT_EQ(NonFiniteSamples(c.bytes.data(), c.values.size() / c.layout.channels, c.layout),
              c.invalid)
        << Name(c.layout);
  }
  EXPECT_EQ(Decode(cases[6].bytes, cases[6].layout, true), (std::vector<double>{0, 0.375}));
}

TEST(ReducesBits, WhenTheTargetResolvesLessExceptIntegersIntoFloat) {
  const struct {
    SampleLayout from, to;
    bool reduces;
  } cases[] = {
      {{kPcm, 16, 16}, {kPcm, 8, 8}, true},       {{kPcm, 8, 8}, {kPcm, 16, 16}, false},
      {{kPcm, 24, 24}, {kPcm, 32, 20}, true},     {{kPcm, 32, 24}, {kPcm, 24, 24}, false},
      {{kFloat, 32, 32}, {kPcm, 24, 24}, false},  {{kFloat, 32, 32}, {kPcm, 16, 16}, true},
      {{kFloat, 64, 64}, {kFloat, 32, 32}, true}, {{kFloat, 64, 64}, {kPcm, 32, 32}, true},
      {{kPcm, 32, 32}, {kFloat, 32, 32}, false},  {{kFloat, 32, 32}, {kFloat, 64, 64}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReducesBits(c.from, c.to), c.reduces) << Name(c.from) << " -> " << Name(c.to);
}

TEST(IsSupported, TakesPcmAndFloatOfTheWidthsFittingWrites) {
  for (SampleLayout l : {SampleLayout{kPcm, 8, 8, 1},
                         {kPcm, 24, 20, 2},
                         {kPcm, 32, 1, 6},
                         {kFloat, 32, 32, 1},
                         {kFloat, 64, 0, 2}})
    EXPECT_TRUE(IsSupported(l)) << Name(l);
  for (SampleLayout l : {SampleLayout{kPcm, 12, 12, 1},
                         {kPcm, 16, 17, 1},
                         {kPcm, 16, 0, 1},
                         {kPcm, 40, 40, 1},
                         {kFloat, 16, 16, 1},
                         {kPcm, 16, 16, 0}})
    EXPECT_FALSE(IsSupported(l)) << Name(l);
}

// Every layout into every other at the same rate: the part's sound, its
// channels averaged or copied, within half a step of the target's resolution,
// or 1.5 dithered when bits are reduced; the same bytes for the same layout.
TEST(FitSound, ConvertsEachLayoutIntoEachOther) {
  std::vector<SampleLayout> layouts;
  for (unsigned channels : {1, 2}) {
    for (auto [kind, bits, valid] : {std::tuple{kPcm, 8u, 8u},
                                     {kPcm, 16u, 16u},
                                     {kPcm, 24u, 24u},
                                     {kPcm, 32u, 32u},
                                     {kPcm, 24u, 20u},
                                     {kFloat, 32u, 32u},
                                     {kFloat, 64u, 64u}})
      layouts.push_back({kind, bits, valid, channels});
  }
  constexpr std::size_t kFrames = 500;
  for (const auto& from : layouts) {
    const Bytes part = Tones(from, kFrames);
    const auto sound = Decode(part, from);
    for (const auto& to : layouts) {
      SCOPED_TRACE(Name(from) + " -> " + Name(to));
      const FitResult fit = Fit(part, from, to, kFrames);
      if (Name(from) == Name(to)) {
        EXPECT_EQ(fit.data, part);
      }
      EXPECT_EQ(fit.dithered, ReducesBits(from, to));
      EXPECT_EQ(fit.clippedSamples, 0u);
      const auto got = Decode(fit.data, to);
      ASSERT_EQ(got.size(), kFrames * to.channels);
      double most = 0;  // in steps of the target's resolution
      for (std::size_t n = 0; n < got.size(); ++n) {
        const std::size_t i = n % kFrames, c = n / kFrames;
        const double expected = from.channels == to.channels ? sound[n]
                                : from.channels == 1         ? sound[i]
                                                             : (sound[i] + sound[kFrames + i]) / 2;
        most = std::max(most, std::ldexp(std::fabs(got[c * kFrames + i] - expected),
                                         static_cast<int>(ResolutionBits(to)) - 1));
      }
      EXPECT_LE(most, fit.dithered ? 1.5 : 0.5);
      if (fit.dithered) {
        EXPECT_GT(most, 1) << "dither reaches past 1 step in 500 frames";
      }
    }
  }
}

// Float beyond full scale: clamped, into PCM counted from what rounds
// beyond it on, into float from what lies beyond it. Silence stays silent,
// dither or not; what is not a number becomes silence, and is counted.
TEST(FitSound, ClampsAndCountsWhatCannotBeHeld) {
  const SampleLayout from{kFloat, 64, 64, 1};
  std::vector<double> sound{1.5, -1.5, 1.0, 0, -3e300, 32767.5 / 32768, NAN, -INFINITY};
  for (int i = 0; i < 64; ++i) sound.push_back(i % 2 == 0 ? 1.25 : -1.25);  // dither at full scale
  Bytes part(sound.size() * sizeof(double));
  std::memcpy(part.data(), sound.data(), part.size());
  const struct {
    SampleLayout to;
    std::uint64_t clipped;
    double top;
    double dither = 0;  // what dither may add to float
  } cases[] = {
      {{kPcm, 8, 8, 1}, 69, 127.0 / 128},
      {{kPcm, 16, 16, 1}, 69, 32767.0 / 32768},
      {{kPcm, 32, 20, 1}, 68, 524287.0 / 524288},
      {{kFloat, 32, 32, 1}, 67, 1, 0x1p-23},
      {{kFloat, 64, 64, 1}, 67, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Name(c.to));
    const FitResult fit = Fit(part, from, c.to, sound.size());
    EXPECT_EQ(fit.clippedSamples, c.clipped);
    EXPECT_EQ(fit.invalidSamples, 2u);
    const auto got = Decode(fit.data, c.to);
    const std::vector<double> held{c.top, -1, c.top, 0, -1};
    for (std::size_t i = 0; i < held.size(); ++i) {
      EXPECT_LE(std::fabs(got[i] - held[i]), c.dither) << i;
    }
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_LE(std::fabs(got[i]), 1) << i;
    EXPECT_EQ(got[6], 0);
    EXPECT_EQ(got[7], 0);
  }
}

// A longer slot: silence after the sound, and in bytes short of a frame. A
// shorter one: cut, fading out to silence over the last 10 ms, the frames
// before those as they were.
TEST(FitSound, PadsWithSilenceOrCutsWithAFadeOut) {
  const SampleLayout from{kPcm, 16, 16, 2};
  const Bytes part = Tones(from, 2000);
  for (SampleLayout to : {SampleLayout{kPcm, 8, 8, 2}, SampleLayout{kFloat, 32, 32, 1}}) {
    SCOPED_TRACE(Name(to));
    const std::size_t frame = FrameBytes(to);
    const auto whole = Fit(part, from, to, 2000).data;
    const FitResult padded =
        FitSound(part.data(), part.size(), from, 44100, to, 44100, 2300 * frame + 1, 1);
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), padded.data.begin()));
    EXPECT_EQ(padded.data.size(), 2300 * frame + 1);
    EXPECT_EQ(
        std::count(padded.data.begin() + 2000 * frame, padded.data.end(), to.bits == 8 ? 0x80 : 0),
        300 * frame + 1);
    EXPECT_DOUBLE_EQ(padded.paddedSeconds, 300.0 / 44100);
    EXPECT_EQ(padded.cutSeconds, 0);

    const FitResult cut = Fit(part, from, to, 1500);
    EXPECT_DOUBLE_EQ(cut.cutSeconds, 500.0 / 44100);
    EXPECT_EQ(cut.paddedSeconds, 0);
    EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + 1059 * frame, cut.data.begin()));
    const auto full = Decode(Bytes(whole.begin(), whole.begin() + 1500 * frame), to);
    const auto faded = Decode(cut.data, to);
    for (std::size_t n = 0; n < faded.size(); ++n) {
      const double gain =
          std::cos(M_PI / 2 * std::max(0.0, static_cast<double>(n % 1500) + 441 - 1499) / 441);
      EXPECT_NEAR(faded[n], full[n] * gain * gain, 2.0 / 128) << n;
    }
    EXPECT_EQ(faded[1499], 0);
  }
}

// The dither comes from the seed alone: the same bytes for the same seed,
// others for another, and the same whether encoded at once or in FitSound's
// blocks.
TEST(FitSound, DithersTheSameForTheSameSeed) {
  const SampleLayout from{kPcm, 24, 24, 2}, to{kPcm, 16, 16, 2};
  const Bytes part = Tones(from, 20000);
  const FitResult fit = Fit(part, from, to, 20000, 7);
  EXPECT_EQ(Fit(part, from, to, 20000, 7).data, fit.data);
  EXPECT_NE(Fit(part, from, to, 20000, 8).data, fit.data);
  Bytes once(fit.data.size());
  EncodeFrames(Decode<float>(part, from), 2, to, true, 7, 0, once.data());
  EXPECT_EQ(fit.data, once);
  EXPECT_FALSE(Fit({}, from, to, 10).dithered);  // nothing to dither
  // A byte changed in the words the lanes take, or in the bytes left.
  for (std::size_t changed : {5, 44}) {
    Bytes bytes(45, 1);
    const std::uint64_t seed = SeedFromBytes(bytes.data(), bytes.size());
    bytes[changed] = 2;
    EXPECT_NE(SeedFromBytes(bytes.data(), bytes.size()), seed) << changed;
  }
}

// Resampled in FitSound's blocks, each from the input it needs, as the whole
// sound resampled at once: averaged to mono first, or copied to stereo after;
// in float for targets of 16 bits, in double for finer ones. Padded, or cut.
TEST(FitSound, ResamplesAsTheWholeSoundWould) {
  const struct {
    SampleLayout from, to;
    std::uint32_t rate;
  } cases[] = {
      {{kPcm, 16, 16, 2}, {kPcm, 16, 16, 1}, 22050},
      {{kPcm, 16, 16, 1}, {kPcm, 16, 16, 2}, 8000},
      {{kPcm, 16, 16, 2}, {kFloat, 64, 64, 1}, 11127},
      {{kPcm, 16, 16, 1}, {kPcm, 24, 24, 2}, 48000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Name(c.from) + " -> " + Name(c.to) + " at " + std::to_string(c.rate));
    const Bytes part = Tones(c.from, 44100);
    const auto frames = static_cast<std::size_t>(FramesAtRate(44100, 44100, c.rate));
    const auto resampled = [&](auto zero) {
      std::vector<decltype(zero)> sound;
      Resample(MakeResampler(44100, c.rate), Decode<decltype(zero)>(part, c.from, true), 1, 0, 0,
               frames, &sound);
      Bytes bytes(frames * FrameBytes(c.to));
      EncodeFrames(sound, 1, c.to, false, 0, 0, bytes.data());
      return bytes;
    };
    const Bytes whole = ResolutionBits(c.to) <= 16 ? resampled(0.0f) : resampled(0.0);
    const FitResult padded = Fit(part, c.from, c.to, frames + 10, 1, c.rate);
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), padded.data.begin()));
    EXPECT_DOUBLE_EQ(padded.paddedSeconds, 10.0 / c.rate);
    const FitResult cut = Fit(part, c.from, c.to, frames - 100, 1, c.rate);
    EXPECT_DOUBLE_EQ(cut.cutSeconds, 100.0 / c.rate);
    const std::size_t kept = (frames - 100 - c.rate / 100) * FrameBytes(c.to);
    EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + kept, cut.data.begin()));
  }
}
