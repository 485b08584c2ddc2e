#include "scan/fit_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "scan/resample.h"
#include "scan/sample_decode.h"
#include "scan/sample_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr SampleKind kPcm = SampleKind::kPcm;
constexpr SampleKind kFloat = SampleKind::kFloat;

std::string Name(const SampleLayout& l) {
  return (l.kind == kPcm ? "PCM " : "float ") + std::to_string(l.bits) + "/" +
         std::to_string(l.validBits) + " x" + std::to_string(l.channels);
}

// Two tones, one a channel, at 0.6 of full scale, in the layout's own samples.
Bytes Tones(const SampleLayout& layout, std::size_t frames) {
  std::vector<double> sound;
  for (unsigned c = 0; c < layout.channels; ++c) {
    for (std::size_t i = 0; i < frames; ++i)
      sound.push_back(0.6 * std::sin(2 * M_PI * (440.0 + 110 * c) * i / 44100));
  }
  Bytes bytes(frames * FrameBytes(layout));
  EncodeFrames(sound, layout.channels, layout, false, 0, 0, bytes.data());
  return bytes;
}

std::vector<double> Decode(const Bytes& bytes, const SampleLayout& layout, bool toMono = false) {
  std::vector<double> sound;
  DecodeFrames(bytes.data(), bytes.size() / FrameBytes(layout), layout, toMono, &sound);
  return sound;
}

FitResult Fit(const Bytes& part, const SampleLayout& from, const SampleLayout& to,
              std::size_t slotFrames, std::uint64_t seed = 1, std::uint32_t toRate = 44100) {
  return FitSound(part.data(), part.size(), from, 44100, to, toRate, slotFrames * FrameBytes(to),
                  seed);
}

// A step of the layout's resolution, at full scale 1.
double Step(const SampleLayout& l) {
  return std::ldexp(1, 1 - static_cast<int>(ResolutionBits(l)));
}

}  // namespace

TEST(DecodeFrames, ReadsEachLayoutAtFullScale) {
  const struct {
    SampleLayout layout;
    Bytes bytes;
    std::vector<double> values;
  } cases[] = {
      {{kPcm, 8, 8, 1}, {0x00, 0x80, 0xff}, {-1, 0, 127.0 / 128}},
      {{kPcm, 16, 16, 1},
       {0x00, 0x80, 0xff, 0x7f, 0xff, 0xff},
       {-1, 32767.0 / 32768, -1.0 / 32768}},
      {{kPcm, 24, 24, 1}, {0x00, 0x00, 0x80, 0x01, 0x00, 0x00}, {-1, 1.0 / 8388608}},
      {{kPcm, 32, 24, 1}, {0x00, 0x00, 0x00, 0x40, 0x00, 0x01, 0x00, 0x00}, {0.5, 1.0 / 8388608}},
      {{kFloat, 32, 32, 1}, {0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0xc0, 0x7f}, {1.5, 0}},  // a NaN
      {{kFloat, 64, 64, 1}, {0, 0, 0, 0, 0, 0, 0xd0, 0xbf}, {-0.25}},
      {{kPcm, 16, 16, 2}, {0x00, 0x40, 0x00, 0xc0, 0x00, 0x40, 0x00, 0x20}, {0.5, 0.5, -0.5, 0.25}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Name(c.layout));
    EXPECT_EQ(Decode(c.bytes, c.layout), c.values);
  }
  // Averaged to mono.
  EXPECT_EQ(Decode(cases[6].bytes, cases[6].layout, true), (std::vector<double>{0, 0.375}));
}

TEST(ReducesBits, WhenTheTargetResolvesLessExceptIntegersIntoFloat) {
  const struct {
    SampleLayout from, to;
    bool reduces;
  } cases[] = {
      {{kPcm, 16, 16, 1}, {kPcm, 8, 8, 1}, true},
      {{kPcm, 8, 8, 1}, {kPcm, 16, 16, 1}, false},
      {{kPcm, 24, 24, 1}, {kPcm, 32, 20, 1}, true},
      {{kPcm, 32, 24, 1}, {kPcm, 24, 24, 1}, false},
      {{kFloat, 32, 32, 1}, {kPcm, 24, 24, 1}, false},
      {{kFloat, 32, 32, 1}, {kPcm, 16, 16, 1}, true},
      {{kFloat, 64, 64, 1}, {kFloat, 32, 32, 1}, true},
      {{kFloat, 64, 64, 1}, {kPcm, 32, 32, 1}, true},
      {{kPcm, 32, 32, 1}, {kFloat, 32, 32, 1}, false},
      {{kFloat, 32, 32, 1}, {kFloat, 64, 64, 1}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReducesBits(c.from, c.to), c.reduces) << Name(c.from) << " -> " << Name(c.to);
}

// Every layout into every other at the same rate: the part's sound, its
// channels averaged or copied, within what rounding to the target allows, or
// dither when bits are reduced; the same bytes when the layouts are the same.
TEST(FitSound, ConvertsEachLayoutIntoEachOther) {
  std::vector<SampleLayout> layouts;
  for (unsigned channels : {1, 2}) {
    for (SampleLayout l :
         {SampleLayout{kPcm, 8, 8}, SampleLayout{kPcm, 16, 16}, SampleLayout{kPcm, 24, 24},
          SampleLayout{kPcm, 32, 32}, SampleLayout{kPcm, 24, 20}, SampleLayout{kFloat, 32, 32},
          SampleLayout{kFloat, 64, 64}}) {
      l.channels = channels;
      layouts.push_back(l);
    }
  }
  constexpr std::size_t kFrames = 500;
  for (const auto& from : layouts) {
    const Bytes part = Tones(from, kFrames);
    const auto sound = Decode(part, from);
    for (const auto& to : layouts) {
      SCOPED_TRACE(Name(from) + " -> " + Name(to));
      const FitResult fit = Fit(part, from, to, kFrames);
      ASSERT_EQ(fit.data.size(), kFrames * FrameBytes(to));
      if (from.kind == to.kind && from.bits == to.bits && from.validBits == to.validBits &&
          from.channels == to.channels) {
        EXPECT_EQ(fit.data, part);
      }
      const bool reduced = ReducesBits(from, to);
      EXPECT_EQ(fit.dithered, reduced);
      EXPECT_EQ(fit.clippedSamples, 0u);
      const auto got = Decode(fit.data, to);
      double most = 0;
      for (unsigned c = 0; c < to.channels; ++c) {
        for (std::size_t i = 0; i < kFrames; ++i) {
          const double expected = from.channels == to.channels ? sound[c * kFrames + i]
                                  : from.channels == 1         ? sound[i]
                                                       : (sound[i] + sound[kFrames + i]) / 2;
          most = std::max(most, std::fabs(got[c * kFrames + i] - expected) / Step(to));
        }
      }
      // Rounding is within half a step, dither and rounding within 1.5, and
      // beyond 1 somewhere in 500 frames.
      EXPECT_LE(most, reduced ? 1.5 : 0.5);
      if (reduced) {
        EXPECT_GT(most, 1);
      }
    }
  }
}

// Float beyond full scale into PCM: clamped, and counted, from what rounds
// beyond it on; into float, only what float cannot hold. Silence stays
// silent, dither or not.
TEST(FitSound, ClampsAndCountsWhatCannotBeHeld) {
  const SampleLayout from{kFloat, 64, 64, 1};
  const std::vector<double> values{1.5, -1.5, 1.0, 0, -3e300, 32767.5 / 32768};
  Bytes part(values.size() * 8);
  EncodeFrames(values, 1, from, false, 0, 0, part.data());
  const struct {
    SampleLayout to;
    std::uint64_t clipped;
    double top;
  } cases[] = {
      {{kPcm, 8, 8, 1}, 5, 127.0 / 128},
      {{kPcm, 16, 16, 1}, 5, 32767.0 / 32768},
      {{kPcm, 32, 20, 1}, 4, 524287.0 / 524288},
      {{kFloat, 32, 32, 1}, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Name(c.to));
    const FitResult fit = Fit(part, from, c.to, values.size());
    EXPECT_EQ(fit.clippedSamples, c.clipped);
    const auto got = Decode(fit.data, c.to);
    if (c.to.kind == kPcm) {
      EXPECT_EQ(std::vector<double>(got.begin(), got.end() - 1),
                (std::vector<double>{c.top, -1, c.top, 0, -1}));
    } else {
      EXPECT_EQ(got[3], 0);
      EXPECT_EQ(got[4], -FLT_MAX);
    }
  }
}

// A slot longer than the sound: silence after it, and in bytes short of a
// frame. Shorter: cut, fading out to silence over the last 10 ms; the frames
// before those as they were.
TEST(FitSound, PadsWithSilenceOrCutsWithAFadeOut) {
  const SampleLayout from{kPcm, 16, 16, 2};
  const Bytes part = Tones(from, 2000);
  for (SampleLayout to : {SampleLayout{kPcm, 8, 8, 2}, SampleLayout{kPcm, 24, 24, 1},
                          SampleLayout{kFloat, 32, 32, 2}}) {
    SCOPED_TRACE(Name(to));
    const unsigned char silence = to.bits == 8 ? 0x80 : 0;
    const FitResult whole = Fit(part, from, to, 2000);
    FitResult padded =
        FitSound(part.data(), part.size(), from, 44100, to, 44100, 2300 * FrameBytes(to) + 1, 1);
    EXPECT_EQ(Bytes(padded.data.begin(), padded.data.begin() + whole.data.size()), whole.data);
    EXPECT_EQ(padded.data.size(), 2300 * FrameBytes(to) + 1);
    EXPECT_TRUE(std::all_of(padded.data.begin() + whole.data.size(), padded.data.end(),
                            [&](unsigned char b) { return b == silence; }));
    EXPECT_DOUBLE_EQ(padded.paddedSeconds, 300.0 / 44100);
    EXPECT_EQ(padded.cutSeconds, 0);

    const FitResult cut = Fit(part, from, to, 1500);
    EXPECT_DOUBLE_EQ(cut.cutSeconds, 500.0 / 44100);
    EXPECT_EQ(cut.paddedSeconds, 0);
    const std::size_t fadeBytes = 441 * FrameBytes(to);
    const std::size_t kept = cut.data.size() - fadeBytes;
    EXPECT_EQ(Bytes(cut.data.begin(), cut.data.begin() + kept),
              Bytes(whole.data.begin(), whole.data.begin() + kept));
    const auto wholeSound =
        Decode(Bytes(whole.data.begin(), whole.data.begin() + cut.data.size()), to);
    const auto cutSound = Decode(cut.data, to);
    for (unsigned c = 0; c < to.channels; ++c) {
      EXPECT_EQ(cutSound[c * 1500 + 1499], 0);                     // silent at the end
      EXPECT_GT(std::fabs(cutSound[c * 1500 + 1499 - 441]), 0.1);  // not before the fade
      for (std::size_t i = 1500 - 441; i < 1500; ++i) {
        const double gain = std::cos(M_PI / 2 * (i - 1499 + 441) / 441.0);
        EXPECT_NEAR(cutSound[c * 1500 + i], wholeSound[c * 1500 + i] * gain * gain, 2 * Step(to));
      }
    }
  }
}

// The dither comes from the seed alone: the same bytes for the same seed,
// other bytes for another; and the same whether the sound is encoded at once
// or in FitSound's blocks.
TEST(FitSound, DithersTheSameForTheSameSeed) {
  const SampleLayout from{kPcm, 24, 24, 2}, to{kPcm, 16, 16, 2};
  const Bytes part = Tones(from, 20000);
  const FitResult fit = Fit(part, from, to, 20000, 7);
  EXPECT_EQ(Fit(part, from, to, 20000, 7).data, fit.data);
  EXPECT_NE(Fit(part, from, to, 20000, 8).data, fit.data);
  Bytes once(fit.data.size());
  EncodeFrames(Decode(part, from), 2, to, true, 7, 0, once.data());
  EXPECT_EQ(fit.data, once);
  EXPECT_FALSE(Fit({}, from, to, 10).dithered);  // nothing to dither
  Bytes bytes(13, 1);
  const std::uint64_t seed = SeedFromBytes(bytes.data(), bytes.size());
  bytes[12] = 2;
  EXPECT_NE(SeedFromBytes(bytes.data(), bytes.size()), seed);
}

// Resampled in FitSound's blocks, with the input each needs, as resampled
// whole; averaged to mono first, or copied to stereo after.
TEST(FitSound, ResamplesAsTheWholeSoundWould) {
  const SampleLayout stereo{kPcm, 16, 16, 2}, mono{kFloat, 64, 64, 1}, both{kFloat, 64, 64, 2};
  const Bytes part = Tones(stereo, 44100);
  const auto averaged = Decode(part, stereo, true);
  Bytes monoPart(averaged.size() * 8);
  EncodeFrames(averaged, 1, mono, false, 0, 0, monoPart.data());
  for (std::uint32_t rate : {22050u, 48000u, 11127u}) {
    SCOPED_TRACE(rate);
    const auto frames = static_cast<std::size_t>(FramesAtRate(44100, 44100, rate));
    std::vector<double> whole;
    Resample(MakeResampler(44100, rate), averaged, 1, 0, 0, frames, &whole);
    // Padded by 10 frames; cut by 100, with a fade-out.
    const FitResult padded = Fit(part, stereo, mono, frames + 10, 1, rate);
    EXPECT_DOUBLE_EQ(padded.paddedSeconds, 10.0 / rate);
    EXPECT_EQ(Decode(padded.data, mono), [&] {
      auto w = whole;
      w.resize(frames + 10);
      return w;
    }());
    const FitResult cut =
        FitSound(monoPart.data(), monoPart.size(), mono, 44100, both, rate, (frames - 100) * 16, 1);
    EXPECT_DOUBLE_EQ(cut.cutSeconds, 100.0 / rate);
    const auto copied = Decode(cut.data, both);
    const auto kept = whole.begin() + (frames - 100 - rate / 100);
    EXPECT_TRUE(std::equal(whole.begin(), kept, copied.begin()));
    EXPECT_TRUE(std::equal(whole.begin(), kept, copied.begin() + (frames - 100)));
  }
}
