// A replacement's sound made to fit the slot of the wave it replaces: in that
// wave's layout and rate, and exactly as many bytes as its samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/sample_layout.h"

struct FitResult {
  std::vector<unsigned char> data;  // the slot's new samples, slotBytes long
  bool dithered = false;
  std::uint64_t clippedSamples = 0;
  std::uint64_t invalidSamples = 0;  // of the part's, not finite: taken as silence
  double cutSeconds = 0;             // of the part's sound, that did not fit
  double paddedSeconds = 0;          // of silence after it
};

// Converts the part's sound (its samples' bytes, a whole number of frames
// read of them, in partLayout at partRate Hz) to slotLayout at slotRate Hz:
// channels to mono by averaging, from mono by copying, other counts through
// mono; resampled; dithered when bits are reduced (ReducesBits), from seed.
// Cut with a 10 ms fade-out to the whole frames of slotBytes, or padded with
// silence to them; bytes left over from a whole frame are silence too. Both
// layouts must be supported (IsSupported) and both rates nonzero.
FitResult FitSound(const unsigned char* part, std::size_t partBytes, const SampleLayout& partLayout,
                   std::uint32_t partRate, const SampleLayout& slotLayout, std::uint32_t slotRate,
                   std::size_t slotBytes, std::uint64_t seed);

// A seed for FitSound from the part's bytes, so that the same part gets the
// same dither on every run and platform: FNV-1a over little-endian 64-bit
// words in four interleaved lanes, then over the lanes and the bytes left.
std::uint64_t SeedFromBytes(const unsigned char* bytes, std::size_t size);
