// Samples into their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/sample_layout.h"

// Encodes planar sound of floats or doubles, of `channels` channels (the layout's, or 1 to copy
// into each of its channels) into FrameBytes(layout) bytes a frame at out.
// Each sample is rounded to the nearest value the layout holds; with dither,
// after adding triangular noise of +-1 step of its resolution (ResolutionBits),
// except to samples that are exactly 0, which stay silent. The noise of the
// i-th sample in interleaved order is a function of seed and firstSample + i,
// so that a sound encoded a part at a time gets the same bytes. Returns the
// number of samples clipped: beyond what the layout's integers hold, or
// beyond full scale +-1 in float, and clamped to it.
template <class Sample>
std::uint64_t EncodeFrames(const std::vector<Sample>& sound, unsigned channels,
                           const SampleLayout& layout, bool dither, std::uint64_t seed,
                           std::uint64_t firstSample, unsigned char* out);
extern template std::uint64_t EncodeFrames(const std::vector<float>&, unsigned, const SampleLayout&,
                                           bool, std::uint64_t, std::uint64_t, unsigned char*);
extern template std::uint64_t EncodeFrames(const std::vector<double>&, unsigned,
                                           const SampleLayout&, bool, std::uint64_t, std::uint64_t,
                                           unsigned char*);

// Fills bytes with silence: 0x80 for 8-bit PCM, else 0.
void FillSilence(const SampleLayout& layout, unsigned char* out, std::size_t bytes);
