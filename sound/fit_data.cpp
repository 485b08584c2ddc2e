#include "sound/fit_data.h"

#include <vector>

namespace {

SampleLayout Pcm16(unsigned channels) {
  SampleLayout layout;
  layout.channels = channels;
  return layout;
}

}  // namespace

FitResult FitData(const unsigned char* part, std::size_t partBytes, const DataLayout& from,
                  std::uint32_t partRate, const DataLayout& to, std::uint32_t slotRate,
                  std::size_t slotBytes, std::uint64_t seed) {
  std::vector<unsigned char> decoded;
  SampleLayout fromLayout = from.samples;
  if (from.coded) {
    const std::vector<std::int16_t> sound = DecodeCoded(part, partBytes, from.code);
    decoded.resize(2 * sound.size());
    for (std::size_t i = 0; i < sound.size(); ++i) {
      decoded[2 * i] = static_cast<unsigned char>(sound[i] & 0xff);
      decoded[2 * i + 1] = static_cast<unsigned char>((sound[i] >> 8) & 0xff);
    }
    part = decoded.data();
    partBytes = decoded.size();
    fromLayout = Pcm16(from.code.channels);
  }
  if (!to.coded) {
    return FitSound(part, partBytes, fromLayout, partRate, to.samples, slotRate, slotBytes, seed);
  }
  const SampleLayout pcm = Pcm16(to.code.channels);
  const std::size_t frames = CodedFrames(to.code, slotBytes);
  FitResult fitted = FitSound(part, partBytes, fromLayout, partRate, pcm, slotRate,
                              frames * FrameBytes(pcm), seed);
  std::vector<std::int16_t> sound(frames * pcm.channels);
  for (std::size_t i = 0; i < sound.size(); ++i) {
    sound[i] = static_cast<std::int16_t>(fitted.data[2 * i] | fitted.data[2 * i + 1] << 8);
  }
  fitted.data.assign(slotBytes, 0);
  EncodeCoded(sound.data(), to.code, fitted.data.data(), slotBytes);
  return fitted;
}
