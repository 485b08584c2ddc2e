#include "scan/fit_sound.h"

#include <algorithm>

#include "scan/portable_math.h"
#include "scan/resample.h"
#include "scan/sample_decode.h"
#include "scan/sample_encode.h"

namespace {

// Output frames converted at once: small enough that the blocks stay in the
// processor's cache, large enough that the filter's reach, decoded twice, is
// little.
constexpr std::size_t kBlock = 8192;

// Fades the sound to silence over its last `fade` frames of `kept`, the last
// at 0, so that the cut does not click: gain cos^2, which starts and ends
// flat. sound holds `channels` channels of frames from `first` on.
void FadeOut(std::vector<double>* sound, unsigned channels, std::size_t first, std::size_t kept,
             std::size_t fade) {
  const std::size_t frames = sound->size() / channels;
  for (std::size_t i = std::max(first, kept - fade); i < first + frames; ++i) {
    const double sine = SinPi(0.5 * static_cast<double>(kept - 1 - i) / static_cast<double>(fade));
    for (unsigned c = 0; c < channels; ++c) (*sound)[c * frames + i - first] *= sine * sine;
  }
}

}  // namespace

FitResult FitSound(const unsigned char* part, std::size_t partBytes, const SampleLayout& partLayout,
                   std::uint32_t partRate, const SampleLayout& slotLayout, std::uint32_t slotRate,
                   std::size_t slotBytes, std::uint64_t seed) {
  FitResult result;
  result.data.resize(slotBytes);
  FillSilence(slotLayout, result.data.data(), slotBytes);
  const std::size_t partFrameBytes = FrameBytes(partLayout);
  const std::size_t slotFrameBytes = FrameBytes(slotLayout);
  const std::size_t partFrames = partBytes / partFrameBytes;
  const std::size_t slotFrames = slotBytes / slotFrameBytes;
  const std::uint64_t whole = FramesAtRate(partFrames, partRate, slotRate);
  const auto kept = static_cast<std::size_t>(std::min<std::uint64_t>(whole, slotFrames));
  result.cutSeconds = static_cast<double>(whole - kept) / slotRate;
  result.paddedSeconds = static_cast<double>(slotFrames - kept) / slotRate;
  result.dithered = ReducesBits(partLayout, slotLayout) && kept > 0;
  const std::size_t fade =
      kept < whole ? std::min<std::size_t>(kept, std::max<std::uint32_t>(1, slotRate / 100)) : 0;

  // Averaged to mono before resampling and copied after, so the fewest
  // channels go through the filter.
  const bool same = partLayout.channels == slotLayout.channels;
  const unsigned channels = same ? partLayout.channels : 1;
  const bool resample = partRate != slotRate;
  const Resampler filter = resample ? MakeResampler(partRate, slotRate) : Resampler{};
  std::vector<double> in, out;
  for (std::size_t first = 0; first < kept; first += kBlock) {
    const std::size_t count = std::min(kBlock, kept - first);
    std::uint64_t begin = first, end = first + count;
    if (resample) FramesRead(filter, first, count, &begin, &end);
    end = std::min<std::uint64_t>(end, partFrames);
    begin = std::min(begin, end);
    DecodeFrames(part + begin * partFrameBytes, static_cast<std::size_t>(end - begin), partLayout,
                 !same, &in);
    if (resample) {
      Resample(filter, in, channels, begin, first, count, &out);
    } else {
      out.swap(in);
    }
    if (first + count > kept - fade) FadeOut(&out, channels, first, kept, fade);
    result.clippedSamples += EncodeFrames(out, channels, slotLayout, result.dithered, seed,
                                          std::uint64_t{first} * slotLayout.channels,
                                          &result.data[first * slotFrameBytes]);
  }
  return result;
}

std::uint64_t SeedFromBytes(const unsigned char* bytes, std::size_t size) {
  constexpr std::uint64_t kPrime = 0x100000001b3;
  std::uint64_t hash = 0xcbf29ce484222325;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word = 0;
    for (unsigned k = 0; k < 8; ++k) word |= std::uint64_t{bytes[i + k]} << (8 * k);
    hash = (hash ^ word) * kPrime;
  }
  for (; i < size; ++i) hash = (hash ^ bytes[i]) * kPrime;
  return hash;
}
