// Sound in the compressed formats --fit reads and writes, as whole blocks
// of bytes: G.711 mu-law and A-law, IMA ADPCM and MS ADPCM.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class Codec { kMuLaw, kALaw, kImaAdpcm, kMsAdpcm };

struct CodedLayout {
  Codec codec = Codec::kMuLaw;
  unsigned channels = 1;
  std::size_t blockAlign = 1;              // a block's bytes; G.711's a frame's
  std::size_t samplesPerBlock = 1;         // the frames of a whole block
  std::vector<std::int16_t> coefficients;  // MS ADPCM's predictor pairs, in turn
};

// The frames `bytes` of data hold: those of their whole blocks and of a
// part block after them.
std::size_t CodedFrames(const CodedLayout& layout, std::size_t bytes);

// Decodes `bytes` of data into CodedFrames interleaved 16-bit frames.
std::vector<std::int16_t> DecodeCoded(const unsigned char* data, std::size_t bytes,
                                      const CodedLayout& layout);

// Encodes CodedFrames(layout, bytes) interleaved frames from in into
// `bytes` of data at out: whole blocks as the layout's, a part block at the
// end as long as it is, and bytes that hold no whole sample silent.
void EncodeCoded(const std::int16_t* in, const CodedLayout& layout, unsigned char* out,
                 std::size_t bytes);
