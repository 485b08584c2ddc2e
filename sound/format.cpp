#include "sound/format.h"

#include <cstdio>

namespace {

std::string TagName(std::uint32_t tag) {
  switch (tag) {
    case 0x0001:
      return "PCM";
    case 0x0002:
      return "MS ADPCM";
    case 0x0003:
      return "IEEE float";
    case 0x0006:
      return "A-law";
    case 0x0007:
      return "mu-law";
    case 0x0011:
      return "IMA ADPCM";
    case 0x0022:
      return "TrueSpeech";
    case 0x0031:
      return "GSM 6.10";
    case 0x0050:
      return "MPEG";
    case 0x0055:
      return "MPEG layer 3";
    case 0x0069:
      return "Xbox ADPCM";
    case 0x0160:
      return "WMA 1";
    case 0x0161:
      return "WMA 2";
    case 0x0162:
      return "WMA Pro";
    case 0x0270:
      return "ATRAC3";
    case 0x2000:
      return "AC-3";
    case kExtensible:
      return "extensible";
    default:
      break;
  }
  char text[24];
  std::snprintf(text, sizeof text, "format 0x%04x", static_cast<unsigned>(tag));
  return text;
}

// The tag an extensible format's sub-format stands for: the standard
// KSDATAFORMAT_SUBTYPE GUIDs are a tag and one fixed tail. 0 for another.
std::uint32_t SubFormatTag(const WaveFormat& format) {
  if (format.subFormat.size() != 38 || format.subFormat.compare(1, 4, "0000") != 0 ||
      format.subFormat.compare(9, 28, "-0000-0010-8000-00AA00389B71") != 0) {
    return 0;
  }
  return static_cast<std::uint32_t>(std::stoul(format.subFormat.substr(5, 4), nullptr, 16));
}

}  // namespace

std::string FormatName(const WaveFormat& format) {
  if (format.tag != kExtensible || format.subFormat.empty()) return TagName(format.tag);
  const std::uint32_t tag = SubFormatTag(format);
  return tag != 0 ? TagName(tag) + " (extensible)" : "extensible " + format.subFormat;
}

std::uint32_t EffectiveTag(const WaveFormat& format) {
  return format.tag != kExtensible || format.subFormat.empty() ? format.tag : SubFormatTag(format);
}

std::uint32_t SignificantBits(const WaveFormat& format) {
  return format.validBits != 0 ? format.validBits : format.bitsPerSample;
}

bool SameFormat(const WaveFormat& a, const WaveFormat& b) {
  return a.tag == b.tag && a.channels == b.channels && a.sampleRate == b.sampleRate &&
         a.blockAlign == b.blockAlign && a.bitsPerSample == b.bitsPerSample &&
         a.validBits == b.validBits && a.subFormat == b.subFormat;
}

std::string FormatIdentity(const WaveFormat& format) {
  if (format.tag != kExtensible || format.subFormat.empty()) return std::to_string(format.tag);
  const std::uint32_t tag = SubFormatTag(format);
  return tag != 0 ? std::to_string(tag) : format.subFormat;
}
