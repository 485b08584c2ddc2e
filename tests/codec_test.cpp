// The codecs of sound/ by what they must decode, bit for bit, and by what
// their encoders must reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "sound/g711.h"
#include "sound/ima_adpcm.h"
#include "sound/ms_adpcm.h"

namespace {

TEST(G711, DecodesAndEncodesTheStandardsValues) {
  const struct {
    std::uint8_t mu;
    std::int16_t muValue;
    std::uint8_t a;
    std::int16_t aValue;
  } codes[] = {{0xff, 0, 0xd5, 8},           {0x7f, 0, 0x55, -8},    {0x80, 32124, 0xaa, 32256},
               {0x00, -32124, 0x2a, -32256}, {0xf0, 120, 0xc5, 264}, {0x8f, 16764, 0x9a, 4032}};
  for (const auto& c : codes) {
    SCOPED_TRACE(static_cast<int>(c.mu));
    EXPECT_EQ(MuLawToLinear(c.mu), c.muValue);
    EXPECT_EQ(ALawToLinear(c.a), c.aValue);
  }
  EXPECT_EQ(LinearToMuLaw(0), 0xff);
  EXPECT_EQ(LinearToMuLaw(32767), 0x80);
  EXPECT_EQ(LinearToMuLaw(-32768), 0x00);
  EXPECT_EQ(LinearToALaw(0), 0xd5);
  EXPECT_EQ(LinearToALaw(32767), 0xaa);
  EXPECT_EQ(LinearToALaw(-32768), 0x2a);
  // Every code's own value encodes to it again: each segment's bounds hold.
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    if (code != 0x7f) {
      EXPECT_EQ(LinearToMuLaw(MuLawToLinear(static_cast<std::uint8_t>(code))), code);
    }
    EXPECT_EQ(LinearToALaw(ALawToLinear(static_cast<std::uint8_t>(code))), code);
    if (code != 0x7f) {
      EXPECT_EQ(StandardMuLaw(MuLawToLinear(static_cast<std::uint8_t>(code))), code);
    }
    EXPECT_EQ(StandardALaw(ALawToLinear(static_cast<std::uint8_t>(code))), code);
  }
}

// Each 16-bit sample gets a code of the level nearest it, and where two are
// as near, the standard encoding's: at a step's edge the standard encoding,
// having dropped the low bits, can pick the farther level (the cases).
TEST(G711, EncodesEachSampleToItsNearestLevel) {
  const struct {
    const char* law;
    std::uint8_t (*encode)(std::int16_t);
    std::uint8_t (*standard)(std::int16_t);
    std::int16_t (*decode)(std::uint8_t);
    std::int16_t sample;  // where the standard's level is the farther
    std::uint8_t nearest;
  } laws[] = {{"mu-law", LinearToMuLaw, StandardMuLaw, MuLawToLinear, -31610, 0x01},
              {"A-law", LinearToALaw, StandardALaw, ALawToLinear, 512, 0xca}};
  for (const auto& law : laws) {
    SCOPED_TRACE(law.law);
    EXPECT_EQ(law.encode(law.sample), law.nearest);
    EXPECT_NE(law.standard(law.sample), law.nearest);
    std::vector<int> levels;
    for (int code = 0; code < 256; ++code)
      levels.push_back(law.decode(static_cast<std::uint8_t>(code)));
    int wrong = 0;
    for (int sample = -32768; sample < 32768; ++sample) {
      const auto x = static_cast<std::int16_t>(sample);
      int least = 65536;
      for (const int level : levels) least = std::min(least, std::abs(sample - level));
      const int miss = std::abs(sample - law.decode(law.encode(x)));
      const int standard = std::abs(sample - law.decode(law.standard(x)));
      const bool changed = law.encode(x) != law.standard(x);
      if (miss != least || (changed && miss == standard)) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(ImaAdpcm, DecodesABlockLowNibbleFirst) {
  // Sample 0 at step index 0, then codes 1, 7 (index to 8), 0, 9 (the sign),
  // and 0s; 2 more bytes after the group are a part group, no samples.
  const unsigned char block[10] = {0x00, 0x00, 0, 0, 0x71, 0x90, 0, 0, 1, 2};
  EXPECT_EQ(ImaSamples(sizeof block, 1, 505), 9u);
  EXPECT_EQ(ImaSamples(3, 1, 505), 0u);
  EXPECT_EQ(ImaSamples(2 * 256, 2, 505), 505u);
  std::int16_t out[9] = {};
  DecodeImaBlock(block, sizeof block, 1, 505, out);
  // 1: 7/8 + 7/4 -> 1; 7: 7 + 3 + 1 + 0 -> 12; then step 16: 0 -> +2; step 14: 9 -> -(1 + 3).
  const std::int16_t expected[5] = {0, 1, 12, 14, 10};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(MsAdpcm, DecodesABlockHighNibbleFirstWithItsPredictor) {
  // Predictor 5 (460, -208), delta 16, sample 1 = 100, sample 2 = 50, then
  // codes 1 and -1: the delta shrinks, but never below 16.
  const unsigned char block[8] = {5, 16, 0, 100, 0, 50, 0, 0x1f};
  std::int16_t out[4] = {};
  EXPECT_EQ(MsSamples(sizeof block, 1, 500), 4u);
  DecodeMsBlock(block, sizeof block, 1, 500, kMsStandardCoefficients, kMsStandardPairs, out);
  // (100 * 460 - 50 * 208) >> 8 = 139, + 16; (155 * 460 - 100 * 208) >> 8 = 197, - 16.
  EXPECT_EQ(out[0], 50);
  EXPECT_EQ(out[1], 100);
  EXPECT_EQ(out[2], 155);
  EXPECT_EQ(out[3], 181);
}

// A sound that moves as real ones do: two tones and a sweep.
std::vector<std::int16_t> Tones(std::size_t frames, unsigned channels) {
  std::vector<std::int16_t> sound(frames * channels);
  for (std::size_t i = 0; i < frames; ++i) {
    for (unsigned c = 0; c < channels; ++c) {
      const double t = static_cast<double>(i);
      sound[i * channels + c] =
          static_cast<std::int16_t>(9000 * std::sin(0.031 * t * (c + 1)) +
                                    4000 * std::sin(0.4 * t) + 3000 * std::sin(0.00002 * t * t));
    }
  }
  return sound;
}

double Snr(const std::vector<std::int16_t>& in, const std::vector<std::int16_t>& out) {
  double signal = 0, noise = 0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    signal += double(in[i]) * in[i];
    noise += (double(in[i]) - out[i]) * (double(in[i]) - out[i]);
  }
  return 10 * std::log10(signal / noise);
}

// A plain encoder's SNR: each code the greedy one, from step index 0.
double GreedyImaSnr(const std::vector<std::int16_t>& in) {
  std::vector<std::int16_t> out(in.size());
  ImaState state{in[0], 0};
  out[0] = in[0];
  for (std::size_t i = 1; i < in.size(); ++i) {
    out[i] = static_cast<std::int16_t>(ImaStep(&state, ImaGreedyCode(state, in[i])));
  }
  return Snr(in, out);
}

TEST(AdpcmEncoders, CodeBlocksBetterThanAPlainEncoder) {
  for (unsigned channels : {1u, 2u}) {
    SCOPED_TRACE(channels);
    const std::size_t align = 256 * channels;
    const std::size_t ima = (align - 4 * channels) * 2 / channels + 1;
    const std::size_t ms = (align - 7 * channels) * 2 / channels + 2;
    const std::vector<std::int16_t> in = Tones(ima, channels);
    std::vector<unsigned char> block(align);
    std::vector<std::int16_t> out(in.size());
    EncodeImaBlock(in.data(), channels, ima, align, block.data());
    DecodeImaBlock(block.data(), align, channels, ima, out.data());
    std::vector<std::int16_t> first(ima);
    for (std::size_t i = 0; i < ima; ++i) first[i] = in[i * channels];
    EXPECT_GT(Snr(in, out), GreedyImaSnr(first) + 1);
    const std::vector<std::int16_t> msIn = Tones(ms, channels);
    out.assign(msIn.size(), 0);
    EncodeMsBlock(msIn.data(), channels, ms, align, kMsStandardCoefficients, kMsStandardPairs,
                  block.data());
    DecodeMsBlock(block.data(), align, channels, ms, kMsStandardCoefficients, kMsStandardPairs,
                  out.data());
    EXPECT_GT(Snr(msIn, out), 25);
    EXPECT_GE(block[channels] | block[channels + 1] << 8, kMsLeastDelta);
  }
}

// MS ADPCM codes each block with the predictor that suits its sound: a
// ramp is what the second pair (2, -1) predicts exactly, a sound that
// changes sign at every sample what the third (0, 0) comes nearest.
TEST(MsAdpcm, ChoosesThePredictorThatSuitsTheBlock) {
  const struct {
    const char* sound;
    int start, rise, sign;  // sample i: sign^i (start + rise i)
    unsigned char predictor;
  } blocks[] = {{"a ramp", -20000, 37, 1, 1}, {"signs in turn", 3000, 0, -1, 2}};
  const std::size_t align = 256;
  const std::size_t samples = (align - 7) * 2 + 2;
  for (const auto& b : blocks) {
    SCOPED_TRACE(b.sound);
    std::vector<std::int16_t> in(samples);
    for (std::size_t i = 0; i < samples; ++i) {
      const int value = b.start + b.rise * static_cast<int>(i);
      in[i] = static_cast<std::int16_t>(i % 2 == 1 && b.sign < 0 ? -value : value);
    }
    std::vector<unsigned char> block(align);
    EncodeMsBlock(in.data(), 1, samples, align, kMsStandardCoefficients, kMsStandardPairs,
                  block.data());
    EXPECT_EQ(block[0], b.predictor);
  }
}

}  // namespace
