#include "sound/sample_layout.h"

bool IsSupported(const SampleLayout& layout) {
  if (layout.channels == 0) return false;
  if (layout.kind == SampleKind::kFloat) return layout.bits == 32 || layout.bits == 64;
  return (layout.bits == 8 || layout.bits == 16 || layout.bits == 24 || layout.bits == 32) &&
         layout.validBits >= 1 && layout.validBits <= layout.bits;
}

std::size_t FrameBytes(const SampleLayout& layout) {
  return std::size_t{layout.bits / 8} * layout.channels;
}

unsigned ResolutionBits(const SampleLayout& layout) {
  if (layout.kind == SampleKind::kPcm) return layout.validBits;
  return layout.bits == 32 ? 24 : 53;
}

bool ReducesBits(const SampleLayout& from, const SampleLayout& to) {
  if (from.kind == SampleKind::kPcm && to.kind == SampleKind::kFloat) return false;
  return ResolutionBits(to) < ResolutionBits(from);
}
