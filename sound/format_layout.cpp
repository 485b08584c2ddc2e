#include "sound/format_layout.h"

#include <algorithm>
#include <cstdio>

#include "sound/ms_adpcm.h"

namespace {

constexpr std::uint32_t kMsAdpcm = 0x0002;
constexpr std::uint32_t kALaw = 0x0006;
constexpr std::uint32_t kMuLaw = 0x0007;
constexpr std::uint32_t kImaAdpcm = 0x0011;

// "GSM 6.10 (0x0031)": a format --fit does not convert, by name and tag.
std::string Named(const WaveFormat& format) {
  std::string name = FormatName(format);
  if (format.tag == kExtensible || name.rfind("format 0x", 0) == 0) return name;
  char tag[16];
  std::snprintf(tag, sizeof tag, " (0x%04x)", static_cast<unsigned>(format.tag));
  return name + tag;
}

std::string Refused(const std::string& what, Use use) {
  return what +
         (use == Use::kWrite ? ", which --fit does not write" : ", which --fit does not read");
}

std::string Bits(std::uint32_t bits) { return std::to_string(bits) + " bits"; }

// A PCM or float layout.
std::string SamplesOf(const WaveFormat& format, const std::string& name, SampleLayout* layout) {
  layout->kind = EffectiveTag(format) == 1 ? SampleKind::kPcm : SampleKind::kFloat;
  layout->bits = format.bitsPerSample;
  layout->validBits = SignificantBits(format);
  layout->channels = format.channels;
  if (!IsSupported(*layout)) {
    return name + " of " + Bits(format.bitsPerSample) +
           (format.validBits != 0 ? " (" + std::to_string(format.validBits) + " valid)" : "") +
           ", which is not converted";
  }
  if (format.blockAlign != FrameBytes(*layout)) {
    return name + " whose block align of " + std::to_string(format.blockAlign) +
           " bytes is not its " + std::to_string(format.channels) + " channels of " +
           Bits(format.bitsPerSample);
  }
  return "";
}

// Whether the table holds the standard pairs first, as every decoder
// takes them.
bool StandardTable(const WaveFormat& format) {
  const std::vector<std::int16_t>& table = format.coefficients;
  return table.size() >= 2 * kMsStandardPairs &&
         std::equal(table.begin(),
                    table.begin() + static_cast<std::ptrdiff_t>(2 * kMsStandardPairs),
                    kMsStandardCoefficients);
}

// The samples per block that an ADPCM block of its block align holds: a
// header of `header` bytes and `first` samples for each channel, then codes
// of 4 bits, in groups of `group` bytes for each channel. 0 when the block
// holds no whole groups.
std::uint32_t AlignedSamples(const WaveFormat& format, std::uint32_t header, std::uint32_t first,
                             std::uint32_t group) {
  const std::uint32_t channels = format.channels;
  const std::uint32_t align = format.blockAlign;
  if (align < header * channels) return 0;
  const std::uint32_t codes = (align - header * channels) * 2;
  if ((align - header * channels) % group != 0 || codes % channels != 0) return 0;
  return codes / channels + first;
}

}  // namespace

bool BlockSamplesAgree(const WaveFormat& format) {
  const std::uint32_t aligned = EffectiveTag(format) == kImaAdpcm
                                    ? AlignedSamples(format, 4, 1, 4 * format.channels)
                                    : AlignedSamples(format, 7, 2, 1);
  return aligned != 0 && aligned == format.samplesPerBlock;
}

namespace {

// An ADPCM layout: 4 bits, and samples per block that agree with the block
// align.
std::string AdpcmOf(const WaveFormat& format, const std::string& name, Use use, CodedLayout* code) {
  const bool ima = EffectiveTag(format) == kImaAdpcm;
  if (format.bitsPerSample != 4) return Refused(name + " of " + Bits(format.bitsPerSample), use);
  if (!ima && !format.hasCoefficients) {
    return name +
           ", but its fmt chunk has no MS ADPCM coefficient table, so it is not the "
           "standard format";
  }
  if (!ima && !format.coefficientsWhole) {
    return name + " whose fmt chunk says its coefficient table has " +
           std::to_string(format.coefficientCount) +
           " pairs, more than the chunk or its extension holds";
  }
  if (!ima && !StandardTable(format)) {
    return name + " whose coefficient table does not begin with the 7 standard pairs";
  }
  if (!format.hasSamplesPerBlock)
    return name + " whose fmt chunk does not say its samples per block";
  if (!BlockSamplesAgree(format)) {
    return name + " whose " + std::to_string(format.samplesPerBlock) +
           " samples per block do not agree with its block align of " +
           std::to_string(format.blockAlign) + " bytes";
  }
  code->codec = ima ? Codec::kImaAdpcm : Codec::kMsAdpcm;
  code->samplesPerBlock = format.samplesPerBlock;
  code->coefficients = ima ? std::vector<std::int16_t>() : format.coefficients;
  return "";
}

// A G.711 layout: a byte a sample.
std::string LawOf(const WaveFormat& format, const std::string& name, Use use, CodedLayout* code) {
  if (format.bitsPerSample != 8) return Refused(name + " of " + Bits(format.bitsPerSample), use);
  if (format.blockAlign != format.channels) {
    return name + " whose block align of " + std::to_string(format.blockAlign) +
           " bytes is not its " + std::to_string(format.channels) + " channels of 8 bits";
  }
  code->codec = EffectiveTag(format) == kMuLaw ? Codec::kMuLaw : Codec::kALaw;
  return "";
}

}  // namespace

std::string LayoutOf(const WaveFormat& format, Use use, DataLayout* layout) {
  const std::uint32_t tag = EffectiveTag(format);
  const std::string name = FormatName(format);
  const bool law = tag == kMuLaw || tag == kALaw;
  const bool adpcm = tag == kMsAdpcm || tag == kImaAdpcm;
  if (tag != 1 && tag != 3 && !law && !adpcm) return Refused(Named(format), use);
  if (!format.hasBits) return name + " with no bits per sample (the old 14-byte fmt chunk)";
  if (format.channels == 0) return name + " of 0 channels";
  if (format.sampleRate == 0) return name + " at 0 Hz";
  layout->coded = law || adpcm;
  if (!layout->coded) return SamplesOf(format, name, &layout->samples);
  layout->code.channels = format.channels;
  layout->code.blockAlign = format.blockAlign;
  return law ? LawOf(format, name, use, &layout->code) : AdpcmOf(format, name, use, &layout->code);
}

bool IsCoded(const WaveFormat& format) {
  const std::uint32_t tag = EffectiveTag(format);
  return tag == kMuLaw || tag == kALaw || tag == kMsAdpcm || tag == kImaAdpcm;
}
