#include "sound/fit_sound.h"

#include <algorithm>

#include "sound/portable_math.h"
#include "sound/resample.h"
#include "sound/sample_decode.h"
#include "sound/sample_encode.h"

namespace {

// Output frames converted at once: small enough that the blocks stay in the
// processor's cache, large enough that the filter's reach, decoded twice, is
// little.
constexpr std::size_t kBlock = 8192;

// Fades the sound to silence over its last `fade` frames of `kept`, the last
// at 0, so that the cut does not click: gain cos^2, which starts and ends
// flat. sound holds `channels` channels of frames from `first` on.
template <class Sample>
void FadeOut(std::vector<Sample>* sound, unsigned channels, std::size_t first, std::size_t kept,
             std::size_t fade) {
  const std::size_t frames = sound->size() / channels;
  for (std::size_t i = std::max(first, kept - fade); i < first + frames; ++i) {
    const double sine = SinPi(0.5 * static_cast<double>(kept - 1 - i) / static_cast<double>(fade));
    for (unsigned c = 0; c < channels; ++c) {
      Sample& x = (*sound)[c * frames + i - first];
      x = static_cast<Sample>(x * (sine * sine));
    }
  }
}

// FitSound's conversion of the frames it keeps, in Sample's precision.
template <class Sample>
void Convert(const unsigned char* part, std::size_t partFrames, const SampleLayout& partLayout,
             std::uint32_t partRate, const SampleLayout& slotLayout, std::uint32_t slotRate,
             std::size_t kept, std::size_t fade, std::uint64_t seed, FitResult* result) {
  // Averaged to mono before resampling and copied after, so the fewest
  // channels go through the filter.
  const bool same = partLayout.channels == slotLayout.channels;
  const unsigned channels = same ? partLayout.channels : 1;
  const bool resample = partRate != slotRate;
  const Resampler filter = resample ? MakeResampler(partRate, slotRate) : Resampler{};
  std::vector<Sample> in, out;
  for (std::size_t first = 0; first < kept; first += kBlock) {
    const std::size_t count = std::min(kBlock, kept - first);
    std::uint64_t begin = first, end = first + count;
    if (resample) FramesRead(filter, first, count, &begin, &end);
    end = std::min<std::uint64_t>(end, partFrames);
    begin = std::min(begin, end);
    DecodeFrames(part + begin * FrameBytes(partLayout), static_cast<std::size_t>(end - begin),
                 partLayout, !same, &in);
    if (resample) {
      Resample(filter, in, channels, begin, first, count, &out);
    } else {
      out.swap(in);
    }
    if (first + count > kept - fade) FadeOut(&out, channels, first, kept, fade);
    result->clippedSamples += EncodeFrames(out, channels, slotLayout, result->dithered, seed,
                                           std::uint64_t{first} * slotLayout.channels,
                                           &result->data[first * FrameBytes(slotLayout)]);
  }
}

}  // namespace

FitResult FitSound(const unsigned char* part, std::size_t partBytes, const SampleLayout& partLayout,
                   std::uint32_t partRate, const SampleLayout& slotLayout, std::uint32_t slotRate,
                   std::size_t slotBytes, std::uint64_t seed) {
  FitResult result;
  result.data.resize(slotBytes);
  FillSilence(slotLayout, result.data.data(), slotBytes);
  const std::size_t partFrames = partBytes / FrameBytes(partLayout);
  const std::size_t slotFrames = slotBytes / FrameBytes(slotLayout);
  const std::uint64_t whole = FramesAtRate(partFrames, partRate, slotRate);
  const auto kept = static_cast<std::size_t>(std::min<std::uint64_t>(whole, slotFrames));
  result.cutSeconds = static_cast<double>(whole - kept) / slotRate;
  result.paddedSeconds = static_cast<double>(slotFrames - kept) / slotRate;
  result.dithered = ReducesBits(partLayout, slotLayout) && kept > 0;
  result.invalidSamples = NonFiniteSamples(part, partFrames, partLayout);
  const std::size_t fade =
      kept < whole ? std::min<std::size_t>(kept, std::max<std::uint32_t>(1, slotRate / 100)) : 0;
  // A float's 24 bits, even after the filter's hundreds of roundings, stay
  // far finer than a 16-bit step, and float filters twice as fast.
  if (ResolutionBits(slotLayout) <= 16) {
    Convert<float>(part, partFrames, partLayout, partRate, slotLayout, slotRate, kept, fade, seed,
                   &result);
  } else {
    Convert<double>(part, partFrames, partLayout, partRate, slotLayout, slotRate, kept, fade, seed,
                    &result);
  }
  return result;
}

std::uint64_t SeedFromBytes(const unsigned char* bytes, std::size_t size) {
  constexpr std::uint64_t kPrime = 0x100000001b3;
  constexpr std::uint64_t kBasis = 0xcbf29ce484222325;
  // Four lanes, one word in four each, so that the multiplications overlap.
  std::uint64_t lanes[4] = {kBasis, kBasis, kBasis, kBasis};
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    for (std::size_t lane = 0; lane < 4; ++lane) {
      // Written out, so that compilers make it one load.
      const unsigned char* b = bytes + i + 8 * lane;
      const std::uint64_t word = std::uint64_t{b[0]} | std::uint64_t{b[1]} << 8 |
                                 std::uint64_t{b[2]} << 16 | std::uint64_t{b[3]} << 24 |
                                 std::uint64_t{b[4]} << 32 | std::uint64_t{b[5]} << 40 |
                                 std::uint64_t{b[6]} << 48 | std::uint64_t{b[7]} << 56;
      lanes[lane] = (lanes[lane] ^ word) * kPrime;
    }
  }
  std::uint64_t hash = kBasis;
  for (std::uint64_t lane : lanes) hash = (hash ^ lane) * kPrime;
  for (; i < size; ++i) hash = (hash ^ bytes[i]) * kPrime;
  return hash;
}
