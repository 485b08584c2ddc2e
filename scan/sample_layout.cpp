#include "scan/sample_layout.h"

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

std::string LayoutOf(const WaveFormat& format, SampleLayout* layout) {
  const std::uint32_t tag = EffectiveTag(format);
  const std::string name = FormatName(format);
  if (tag != 1 && tag != 3) {
    const bool compressed = tag == 2 || tag == 6 || tag == 7 || tag == 0x11 || tag == 0x55;
    return name + (compressed ? ", a compressed format" : ", not PCM or IEEE float");
  }
  if (!format.hasBits) return name + " with no bits per sample (the old 14-byte fmt chunk)";
  if (format.channels == 0) return name + " of 0 channels";
  if (format.sampleRate == 0) return name + " at 0 Hz";
  layout->kind = tag == 1 ? SampleKind::kPcm : SampleKind::kFloat;
  layout->bits = format.bitsPerSample;
  layout->validBits = SignificantBits(format);
  layout->channels = format.channels;
  if (!IsSupported(*layout)) {
    return name + " of " + std::to_string(format.bitsPerSample) + " bits" +
           (format.validBits != 0 ? " (" + std::to_string(format.validBits) + " valid)" : "") +
           ", which is not converted";
  }
  if (format.blockAlign != FrameBytes(*layout)) {
    return name + " whose block align of " + std::to_string(format.blockAlign) +
           " bytes is not its " + std::to_string(format.channels) + " channels of " +
           std::to_string(format.bitsPerSample) + " bits";
  }
  return "";
}
