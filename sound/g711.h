// ITU-T G.711 mu-law and A-law: one byte a sample, in segments of doubling
// steps.
#pragma once

#include <cstdint>

std::int16_t MuLawToLinear(std::uint8_t code);
std::int16_t ALawToLinear(std::uint8_t code);

// The standard segment encoding of a 16-bit sample: mu-law of its top 14
// bits, A-law of its top 13, as every G.711 decoder expects.
std::uint8_t StandardMuLaw(std::int16_t sample);
std::uint8_t StandardALaw(std::int16_t sample);

// The code of the level nearest a 16-bit sample: the standard encoding's,
// or where the bits it drops put the sample nearer the next level, that
// level's.
std::uint8_t LinearToMuLaw(std::int16_t sample);
std::uint8_t LinearToALaw(std::int16_t sample);

// The codes of silence: the positive zero of each law.
constexpr std::uint8_t kMuLawSilence = 0xff;
constexpr std::uint8_t kALawSilence = 0xd5;
