#include "sound/sample_encode.h"

#include <cmath>
#include <cstring>

namespace {

// The i-th draw of splitmix64 from seed, which reaches any draw directly:
// small, fast, and the same sequence from every compiler and library, which
// std:: distributions are not.
std::uint64_t Draw(std::uint64_t seed, std::uint64_t i) {
  std::uint64_t z = seed + (i + 1) * 0x9e3779b97f4a7c15;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
  z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
  return z ^ (z >> 31);
}

// The difference of two uniform draws: triangular over (-1, 1).
double Triangular(std::uint64_t seed, std::uint64_t i) {
  const std::uint64_t r = Draw(seed, i);
  return (static_cast<double>(r >> 32) - static_cast<double>(r & 0xffffffff)) * 0x1p-32;
}

// One loop for each sample width, the quantising inlined: word(x, noise,
// clipped) gives a sample's little-endian bytes, and counts it if clipped.
// Returns the count.
template <unsigned Width, class Word, class Sample>
std::uint64_t Encode(const std::vector<Sample>& sound, unsigned channels, unsigned outChannels,
                     bool dither, std::uint64_t seed, std::uint64_t firstSample, unsigned char* out,
                     Word word) {
  const std::size_t frames = sound.size() / channels;
  std::uint64_t sample = firstSample;
  std::uint64_t clipped = 0;
  for (std::size_t i = 0; i < frames; ++i) {
    for (unsigned c = 0; c < outChannels; ++c, ++sample) {
      const double x = sound[(channels == 1 ? 0 : c) * frames + i];
      const double noise = dither && x != 0 ? Triangular(seed, sample) : 0.0;
      const std::uint64_t bytes = word(x, noise, clipped);
      for (unsigned k = 0; k < Width; ++k) *out++ = static_cast<unsigned char>(bytes >> (8 * k));
    }
  }
  return clipped;
}

}  // namespace

template <class Sample>
std::uint64_t EncodeFrames(const std::vector<Sample>& sound, unsigned channels,
                           const SampleLayout& layout, bool dither, std::uint64_t seed,
                           std::uint64_t firstSample, unsigned char* out) {
  const unsigned outChannels = layout.channels;
  // Float holds far more than full scale, but whatever turns it into
  // integers next clips or wraps beyond it: clamped there like PCM.
  const auto clamp = [](double x, std::uint64_t& clipped) {
    if (!(x >= -1 && x <= 1)) ++clipped;
    return x > 1 ? 1.0 : x < -1 ? -1.0 : x == x ? x : 0.0;
  };
  if (layout.kind == SampleKind::kFloat && layout.bits == 32) {
    return Encode<4>(sound, channels, outChannels, dither, seed, firstSample, out,
                     [clamp](double x, double noise, std::uint64_t& clipped) {
                       // Counted before the noise, which alone clips nothing.
                       std::uint64_t ignored = 0;
                       const double y = clamp(clamp(x, clipped) + noise * 0x1p-23, ignored);
                       const auto value = static_cast<float>(y);
                       std::uint32_t bits = 0;
                       std::memcpy(&bits, &value, sizeof bits);
                       return std::uint64_t{bits};
                     });
  }
  if (layout.kind == SampleKind::kFloat) {
    // Nothing resolves more than a double: never dithered.
    return Encode<8>(sound, channels, outChannels, false, seed, firstSample, out,
                     [clamp](double x, double, std::uint64_t& clipped) {
                       const double y = clamp(x, clipped);
                       std::uint64_t bits = 0;
                       std::memcpy(&bits, &y, sizeof bits);
                       return bits;
                     });
  }
  // The sound's steps lie 2^(bits - validBits) apart in the container.
  const double top = static_cast<double>(std::uint64_t{1} << (layout.validBits - 1));
  const std::uint64_t step = std::uint64_t{1} << (layout.bits - layout.validBits);
  const std::int64_t offset = layout.bits == 8 ? 128 : 0;  // 8-bit PCM is unsigned
  const auto pcm = [=](double x, double noise, std::uint64_t& clipped) {
    double y = x * top;
    // Rounding alone decides what clips, not the noise.
    if (!(y >= -top - 0.5 && y < top - 0.5)) ++clipped;
    y = y == y ? y + noise : 0;
    // Shifted up by top + 1/2 and clamped to [0, 2 * top), where truncation
    // rounds down: rounds as floor(y + 1/2) would, but within an ulp of a
    // tie, and without a call for each sample.
    y = y >= top - 0.5 ? 2 * top - 0.5 : y < -top - 0.5 ? 0 : y + (top + 0.5);
    const auto q = static_cast<std::int64_t>(y) - static_cast<std::int64_t>(top);
    return static_cast<std::uint64_t>(q * static_cast<std::int64_t>(step) + offset);
  };
  if (layout.bits == 8)
    return Encode<1>(sound, channels, outChannels, dither, seed, firstSample, out, pcm);
  if (layout.bits == 16)
    return Encode<2>(sound, channels, outChannels, dither, seed, firstSample, out, pcm);
  if (layout.bits == 24)
    return Encode<3>(sound, channels, outChannels, dither, seed, firstSample, out, pcm);
  return Encode<4>(sound, channels, outChannels, dither, seed, firstSample, out, pcm);
}

template std::uint64_t EncodeFrames(const std::vector<float>&, unsigned, const SampleLayout&, bool,
                                    std::uint64_t, std::uint64_t, unsigned char*);
template std::uint64_t EncodeFrames(const std::vector<double>&, unsigned, const SampleLayout&, bool,
                                    std::uint64_t, std::uint64_t, unsigned char*);

void FillSilence(const SampleLayout& layout, unsigned char* out, std::size_t bytes) {
  std::memset(out, layout.kind == SampleKind::kPcm && layout.bits == 8 ? 0x80 : 0, bytes);
}
