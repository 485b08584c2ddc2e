// What a wave is made of, as plain records: its fmt chunk, its other
// chunks, its loops and cue points; and what a format is called and how two
// compare.
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

// A chunk beside "fmt " and "data": its id and the bytes it takes, header
// and padding included.
struct Chunk {
  std::string id;
  std::uint64_t bytes = 0;
};

// A loop of a "smpl" chunk, in sample frames; end is the last frame it
// plays, as smpl writes it. count 0 loops for ever.
struct Loop {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::uint32_t count = 0;
};

// A point of a "cue " chunk: its sample frame, and the length a LIST/adtl
// "ltxt" chunk that names its id gives it, when one does.
struct CuePoint {
  std::uint32_t id = 0;
  std::uint32_t sample = 0;
  bool hasLength = false;
  std::uint32_t length = 0;
};

// A chunk's id and the size its header gives, in the order the wave has
// them.
struct ChunkSize {
  std::string id;
  std::uint32_t size = 0;
};

// What the chunks of one wave say.
struct WaveChunks {
  std::string head;   // its first bytes, up to 12
  bool wave = false;  // "RIFF", a size and "WAVE"
  bool hasFormat = false;
  WaveFormat format;
  bool hasData = false;
  std::uint64_t dataAt = 0;     // where its contents start, counted from the wave's start
  std::uint64_t dataBytes = 0;  // what the first "data" chunk holds within the wave
  std::vector<Chunk> others;
  std::vector<ChunkSize> order;  // every chunk, "fmt " and "data" included
  std::vector<Loop> loops;       // of the first "smpl" chunk
  std::vector<CuePoint> cues;    // of the first "cue " chunk
};

// The format's name: "PCM", "IEEE float", ..., "PCM (extensible)".
std::string FormatName(const WaveFormat& format);

// The tag the format is: its own, or for an extensible format the tag its
// sub-format stands for, 0 when that is no standard one.
std::uint32_t EffectiveTag(const WaveFormat& format);

// The bits of each sample that carry sound: an extensible format's valid
// bits, else its bits per sample.
std::uint32_t SignificantBits(const WaveFormat& format);

// A field of a part's format that differs from its wave's, both values in
// words: {"2 channels", "1"}.
struct Difference {
  std::string part;
  std::string wave;
};

// Where a player would take the part's format for another than the wave's,
// field by field: the kind of samples (an extensible format's sub-format
// as the tag it stands for), channels, rate, bits, block align, and the
// byte rate when nothing else differs.
std::vector<Difference> FormatDifferences(const WaveFormat& part, const WaveFormat& wave);

// Whether the two formats lay out their samples alike, each field as
// written: stricter than FormatDifferences, as bytes are copied from one
// to the other when they do (PCM and extensible PCM differ here), and the
// byte rate, which lays out nothing, left aside.
bool SameFormat(const WaveFormat& a, const WaveFormat& b);
