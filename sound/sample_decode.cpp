#include "sound/sample_decode.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

template <unsigned Width>
std::uint64_t LittleEndian(const unsigned char* b) {
  std::uint64_t value = 0;
  for (unsigned k = 0; k < Width; ++k) value |= std::uint64_t{b[k]} << (8 * k);
  return value;
}

double Finite(double value) { return std::isfinite(value) ? value : 0; }

// One loop for each sample width, its decoding inlined: no branch on the
// layout for each of millions of samples.
template <unsigned Width, class Value, class Sample>
void Decode(const unsigned char* bytes, std::size_t frames, unsigned channels, bool toMono,
            Value value, std::vector<Sample>* sound) {
  sound->resize(toMono ? frames : frames * channels);
  Sample* out = sound->data();
  const double share = 1.0 / channels;  // a product is cheaper than a quotient
  for (std::size_t i = 0; i < frames; ++i) {
    if (toMono) {
      double sum = 0;
      for (unsigned c = 0; c < channels; ++c, bytes += Width)
        sum += value(LittleEndian<Width>(bytes));
      out[i] = static_cast<Sample>(sum * share);
    } else {
      for (unsigned c = 0; c < channels; ++c, bytes += Width)
        out[c * frames + i] = static_cast<Sample>(value(LittleEndian<Width>(bytes)));
    }
  }
}

}  // namespace

template <class Sample>
void DecodeFrames(const unsigned char* bytes, std::size_t frames, const SampleLayout& layout,
                  bool toMono, std::vector<Sample>* sound) {
  const unsigned channels = layout.channels;
  // Signed PCM: the container's top bit is the sign.
  const std::uint64_t sign = std::uint64_t{1} << (layout.bits - 1);
  const double unit = 1 / static_cast<double>(sign);
  const auto pcm = [=](std::uint64_t word) {
    return static_cast<double>(static_cast<std::int64_t>(word ^ sign) -
                               static_cast<std::int64_t>(sign)) *
           unit;
  };
  if (layout.kind == SampleKind::kFloat && layout.bits == 32) {
    Decode<4>(
        bytes, frames, channels, toMono,
        [](std::uint64_t word) {
          const auto bits = static_cast<std::uint32_t>(word);
          float value = 0;
          std::memcpy(&value, &bits, sizeof value);
          return Finite(value);
        },
        sound);
  } else if (layout.kind == SampleKind::kFloat) {
    Decode<8>(
        bytes, frames, channels, toMono,
        [](std::uint64_t word) {
          double value = 0;
          std::memcpy(&value, &word, sizeof value);
          return Finite(value);
        },
        sound);
  } else if (layout.bits == 8) {
    Decode<1>(
        bytes, frames, channels, toMono,
        [](std::uint64_t word) { return (static_cast<double>(word) - 128) * (1.0 / 128); }, sound);
  } else if (layout.bits == 16) {
    Decode<2>(bytes, frames, channels, toMono, pcm, sound);
  } else if (layout.bits == 24) {
    Decode<3>(bytes, frames, channels, toMono, pcm, sound);
  } else {
    Decode<4>(bytes, frames, channels, toMono, pcm, sound);
  }
}

template void DecodeFrames(const unsigned char*, std::size_t, const SampleLayout&, bool,
                           std::vector<float>*);
template void DecodeFrames(const unsigned char*, std::size_t, const SampleLayout&, bool,
                           std::vector<double>*);

std::uint64_t NonFiniteSamples(const unsigned char* bytes, std::size_t frames,
                               const SampleLayout& layout) {
  if (layout.kind != SampleKind::kFloat) return 0;
  // Not finite: every bit of the exponent set.
  const bool wide = layout.bits == 64;
  const std::uint64_t exponent = wide ? 0x7ff0000000000000 : 0x7f800000;
  const std::size_t samples = frames * layout.channels;
  std::uint64_t count = 0;
  for (std::size_t i = 0; i < samples; ++i) {
    const std::uint64_t word =
        wide ? LittleEndian<8>(bytes + 8 * i) : LittleEndian<4>(bytes + 4 * i);
    if ((word & exponent) == exponent) ++count;
  }
  return count;
}
