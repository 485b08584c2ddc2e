// The choice of an IMA ADPCM block's codes for one channel.
#pragma once

#include <cstddef>
#include <cstdint>

// Chooses the codes of samples 1 to samples - 1 of one channel's samples
// (in[0], in[stride], ...), the first being the block header's own, into
// codes[1 .. samples - 1], and returns the starting step index. The step
// indices a plain encoder does best from over the first samples start the
// search (adpcm_beam.h); each code is tried beside its neighbours.
int SearchImaCodes(const std::int16_t* in, std::size_t stride, std::size_t samples,
                   unsigned char* codes);
