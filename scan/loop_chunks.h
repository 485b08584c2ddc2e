// A wave's loops and cue points: the contents of its "smpl", "cue " and
// LIST/adtl "ltxt" chunks, read within bounds whatever bytes they hold, and
// the sample frames they must lie within.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scan/wave_format.h"

// How many of a chunk's first bytes to read for its loops or cue points:
// 0 for a chunk that holds none.
std::size_t LoopChunkBytes(const std::string& id);

// Reads the loops, cue points and labelled lengths (into labels, an id and
// a length each) that the first bytes of a chunk hold. Only the first smpl
// and cue chunks that hold any count; at most 64 of each are kept.
void ReadLoopChunk(const std::string& id, const std::vector<unsigned char>& bytes,
                   WaveChunks* chunks, std::vector<CuePoint>* labels);

// Gives each cue point the length of the first label that names its id.
void LabelCues(const std::vector<CuePoint>& labels, WaveChunks* chunks);

// The sample frames of the wave's data: whole blocks for PCM, float and
// A-law or mu-law, the samples of its blocks for MS and IMA ADPCM. False
// when its format does not say them.
bool SampleFrames(const WaveChunks& chunks, std::uint64_t* frames);

// ", loop 0.100-1.000 s", ", 2 loops", ", 3 cue points": what the listing
// says of them after the duration; "" for a wave with neither.
std::string DescribeLoops(const WaveChunks& chunks);
