// A wave's "fmt " chunk as a plain record: what its samples are, what the
// format is called, and whether two lay out their samples alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kExtensible = 0xfffe;  // WAVE_FORMAT_EXTENSIBLE

// A "fmt " chunk.
struct WaveFormat {
  std::uint32_t tag = 0;  // as written
  std::uint32_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t byteRate = 0;
  std::uint32_t blockAlign = 0;
  bool hasBits = false;  // the old 14-byte form has no bits per sample
  std::uint32_t bitsPerSample = 0;
  std::uint32_t validBits = 0;  // an extensible format's bits that carry sound, else 0
  std::string subFormat;        // an extensible format's sub-format GUID, else empty
  // An ADPCM format's extension: the samples of each channel in a block,
  // and for MS ADPCM its predictors' coefficient pairs, in turn.
  bool hasSamplesPerBlock = false;
  std::uint32_t samplesPerBlock = 0;
  bool hasCoefficients = false;
  std::vector<std::int16_t> coefficients;
  // The pairs its count says, and whether the chunk and the extension's
  // own size both hold them all: decoders refuse a table cut short.
  std::uint32_t coefficientCount = 0;
  bool coefficientsWhole = false;
};

// The format's name: "PCM", "IEEE float", ..., "PCM (extensible)".
std::string FormatName(const WaveFormat& format);

// What a format is, for comparing two: its tag, or for an extensible
// format the tag its sub-format stands for, or that GUID itself.
std::string FormatIdentity(const WaveFormat& format);

// The tag the format is: its own, or for an extensible format the tag its
// sub-format stands for, 0 when that is no standard one.
std::uint32_t EffectiveTag(const WaveFormat& format);

// The bits of each sample that carry sound: an extensible format's valid
// bits, else its bits per sample.
std::uint32_t SignificantBits(const WaveFormat& format);

// Whether the two formats lay out their samples alike, each field as
// written: stricter than a player's comparison, as bytes are copied from
// one to the other when they do (PCM and extensible PCM differ here), and
// the byte rate, which lays out nothing, left aside.
bool SameFormat(const WaveFormat& a, const WaveFormat& b);
