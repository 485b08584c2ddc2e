// How a wave's samples are laid out in its data bytes.
#pragma once

#include <cstddef>

enum class SampleKind { kPcm, kFloat };

// Interleaved little-endian samples: PCM 8-bit unsigned or 16, 24 or 32-bit
// signed, or IEEE float of 32 or 64 bits.
struct SampleLayout {
  SampleKind kind = SampleKind::kPcm;
  unsigned bits = 16;  // each sample's container
  // PCM: the high bits of the container that carry sound, as an extensible
  // format's valid bits say; the rest are 0. Ignored for float.
  unsigned validBits = 16;
  unsigned channels = 1;
};

// Whether the functions here handle the layout.
bool IsSupported(const SampleLayout& layout);

std::size_t FrameBytes(const SampleLayout& layout);

// The bits that resolve a sample at full scale: PCM's valid bits, 24 for
// float, 53 for double.
unsigned ResolutionBits(const SampleLayout& layout);

// Whether converting `from` into `to` reduces bits, so wants dither: the
// target resolves less than the source, except integers into float.
bool ReducesBits(const SampleLayout& from, const SampleLayout& to);
