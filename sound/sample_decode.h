// Samples from their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/sample_layout.h"

// Decodes `frames` frames from bytes into planar sound (channel c's frame i
// at c * frames + i) of floats or doubles at full scale +-1: PCM divided by
// 2^(bits - 1), 8-bit unsigned less 128 first; float as it is, but 0 where
// not finite. toMono averages each frame's channels into one.
template <class Sample>
void DecodeFrames(const unsigned char* bytes, std::size_t frames, const SampleLayout& layout,
                  bool toMono, std::vector<Sample>* sound);
extern template void DecodeFrames(const unsigned char*, std::size_t, const SampleLayout&, bool,
                                  std::vector<float>*);
extern template void DecodeFrames(const unsigned char*, std::size_t, const SampleLayout&, bool,
                                  std::vector<double>*);

// How many of the samples in `frames` frames of bytes are not finite (NaN or
// infinity): those that DecodeFrames takes as 0. None but in float.
std::uint64_t NonFiniteSamples(const unsigned char* bytes, std::size_t frames,
                               const SampleLayout& layout);
