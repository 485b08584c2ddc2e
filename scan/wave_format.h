// What a wave is made of, as plain records: its fmt chunk (sound/format.h),
// its other chunks, its loops and cue points; and where a player would
// take two formats for different ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/format.h"

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
