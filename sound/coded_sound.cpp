#include "sound/coded_sound.h"

#include <algorithm>

#include "sound/g711.h"
#include "sound/ima_adpcm.h"
#include "sound/ms_adpcm.h"

namespace {

bool IsG711(const CodedLayout& layout) {
  return layout.codec == Codec::kMuLaw || layout.codec == Codec::kALaw;
}

// The frames of one block of `bytes`, whole or part.
std::size_t BlockFrames(const CodedLayout& layout, std::size_t bytes) {
  if (layout.codec == Codec::kImaAdpcm)
    return ImaSamples(bytes, layout.channels, layout.samplesPerBlock);
  return MsSamples(bytes, layout.channels, layout.samplesPerBlock);
}

std::size_t Pairs(const CodedLayout& layout) { return layout.coefficients.size() / 2; }

// The predictors an encoder uses: the standard ones a table starts with,
// which every decoder knows, where some know no others.
std::size_t EncodedPairs(const CodedLayout& layout) {
  return std::min<std::size_t>(Pairs(layout), kMsStandardPairs);
}

}  // namespace

std::size_t CodedFrames(const CodedLayout& layout, std::size_t bytes) {
  if (IsG711(layout)) return bytes / layout.channels;
  const std::size_t whole = bytes / layout.blockAlign;
  return whole * BlockFrames(layout, layout.blockAlign) +
         BlockFrames(layout, bytes % layout.blockAlign);
}

std::vector<std::int16_t> DecodeCoded(const unsigned char* data, std::size_t bytes,
                                      const CodedLayout& layout) {
  std::vector<std::int16_t> sound(CodedFrames(layout, bytes) * layout.channels);
  if (IsG711(layout)) {
    const auto law = layout.codec == Codec::kMuLaw ? MuLawToLinear : ALawToLinear;
    std::transform(data, data + sound.size(), sound.begin(), law);
    return sound;
  }
  std::int16_t* out = sound.data();
  for (std::size_t at = 0; at < bytes; at += layout.blockAlign) {
    const std::size_t block = std::min(layout.blockAlign, bytes - at);
    if (layout.codec == Codec::kImaAdpcm) {
      DecodeImaBlock(data + at, block, layout.channels, layout.samplesPerBlock, out);
    } else {
      DecodeMsBlock(data + at, block, layout.channels, layout.samplesPerBlock,
                    layout.coefficients.data(), Pairs(layout), out);
    }
    out += BlockFrames(layout, block) * layout.channels;
  }
  return sound;
}

void EncodeCoded(const std::int16_t* in, const CodedLayout& layout, unsigned char* out,
                 std::size_t bytes) {
  if (IsG711(layout)) {
    const bool mu = layout.codec == Codec::kMuLaw;
    const std::size_t samples = CodedFrames(layout, bytes) * layout.channels;
    std::transform(in, in + samples, out, mu ? LinearToMuLaw : LinearToALaw);
    std::fill(out + samples, out + bytes, mu ? kMuLawSilence : kALawSilence);
    return;
  }
  for (std::size_t at = 0; at < bytes; at += layout.blockAlign) {
    const std::size_t block = std::min(layout.blockAlign, bytes - at);
    if (layout.codec == Codec::kImaAdpcm) {
      EncodeImaBlock(in, layout.channels, layout.samplesPerBlock, block, out + at);
    } else {
      EncodeMsBlock(in, layout.channels, layout.samplesPerBlock, block, layout.coefficients.data(),
                    EncodedPairs(layout), out + at);
    }
    in += BlockFrames(layout, block) * layout.channels;
  }
}
