#include "sound/format_layout.h"

#include <algorithm>
#include <cstdio>
#include <utility>

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

// False with *err the words why a layout is none --fit converts.
bool Fail(std::string words, std::string* err) {
  *err = std::move(words);
  return false;
}

// A PCM or float layout.
bool SamplesOf(const WaveFormat& format, const std::string& name, SampleLayout* layout,
               std::string* err) {
  layout->kind = EffectiveTag(format) == 1 ? SampleKind::kPcm : SampleKind::kFloat;
  layout->bits = format.bitsPerSample;
  layout->validBits = SignificantBits(format);
  layout->channels = format.channels;
  if (!IsSupported(*layout)) {
    return Fail(
        name + " of " + Bits(format.bitsPerSample) +
            (format.validBits != 0 ? " (" + std::to_string(format.validBits) + " valid)" : "") +
            ", which is not converted",
        err);
  }
  if (format.blockAlign != FrameBytes(*layout)) {
    return Fail(name + " whose block align of " + std::to_string(format.blockAlign) +
                    " bytes is not its " + std::to_string(format.channels) + " channels of " +
                    Bits(format.bitsPerSample),
                err);
  }
  return true;
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
bool AdpcmOf(const WaveFormat& format, const std::string& name, Use use, CodedLayout* code,
             std::string* err) {
  const bool ima = EffectiveTag(format) == kImaAdpcm;
  if (format.bitsPerSample != 4)
    return Fail(Refused(name + " of " + Bits(format.bitsPerSample), use), err);
  if (!ima && !format.hasCoefficients) {
    return Fail(name +
                    ", but its fmt chunk has no MS ADPCM coefficient table, so it is not the "
                    "standard format",
                err);
  }
  if (!ima && !format.coefficientsWhole) {
    return Fail(name + " whose fmt chunk says its coefficient table has " +
                    std::to_string(format.coefficientCount) +
                    " pairs, more than the chunk or its extension holds",
                err);
  }
  if (!ima && !StandardTable(format)) {
    return Fail(name + " whose coefficient table does not begin with the 7 standard pairs", err);
  }
  if (!format.hasSamplesPerBlock)
    return Fail(name + " whose fmt chunk does not say its samples per block", err);
  if (!BlockSamplesAgree(format)) {
    return Fail(name + " whose " + std::to_string(format.samplesPerBlock) +
                    " samples per block do not agree with its block align of " +
                    std::to_string(format.blockAlign) + " bytes",
                err);
  }
  code->codec = ima ? Codec::kImaAdpcm : Codec::kMsAdpcm;
  code->samplesPerBlock = format.samplesPerBlock;
  code->coefficients = ima ? std::vector<std::int16_t>() : format.coefficients;
  return true;
}

// A G.711 layout: a byte a sample.
bool LawOf(const WaveFormat& format, const std::string& name, Use use, CodedLayout* code,
           std::string* err) {
  if (format.bitsPerSample != 8)
    return Fail(Refused(name + " of " + Bits(format.bitsPerSample), use), err);
  if (format.blockAlign != format.channels) {
    return Fail(name + " whose block align of " + std::to_string(format.blockAlign) +
                    " bytes is not its " + std::to_string(format.channels) + " channels of 8 bits",
                err);
  }
  code->codec = EffectiveTag(format) == kMuLaw ? Codec::kMuLaw : Codec::kALaw;
  return true;
}

}  // namespace

bool LayoutOf(const WaveFormat& format, Use use, DataLayout* layout, std::string* err) {
  const std::uint32_t tag = EffectiveTag(format);
  const std::string name = FormatName(format);
  const bool law = tag == kMuLaw || tag == kALaw;
  const bool adpcm = tag == kMsAdpcm || tag == kImaAdpcm;
  if (tag != 1 && tag != 3 && !law && !adpcm) return Fail(Refused(Named(format), use), err);
  if (!format.hasBits)
    return Fail(name + " with no bits per sample (the old 14-byte fmt chunk)", err);
  if (format.channels == 0) return Fail(name + " of 0 channels", err);
  if (format.sampleRate == 0) return Fail(name + " at 0 Hz", err);
  layout->coded = law || adpcm;
  if (!layout->coded) return SamplesOf(format, name, &layout->samples, err);
  layout->code.channels = format.channels;
  layout->code.blockAlign = format.blockAlign;
  return law ? LawOf(format, name, use, &layout->code, err)
             : AdpcmOf(format, name, use, &layout->code, err);
}

bool IsCoded(const WaveFormat& format) {
  const std::uint32_t tag = EffectiveTag(format);
  return tag == kMuLaw || tag == kALaw || tag == kMsAdpcm || tag == kImaAdpcm;
}
