#include "scan/wave_layout.h"

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
