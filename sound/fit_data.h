// FitSound for data in any layout --fit reads or writes: samples as they
// are, or coded.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/coded_sound.h"
#include "sound/fit_sound.h"
#include "sound/sample_layout.h"

struct DataLayout {
  bool coded = false;
  SampleLayout samples;  // when not coded
  CodedLayout code;      // when coded
};

// FitSound from and to either layout: a coded part decoded to 16 bits
// first; into a coded slot, the sound fitted to 16 bits, then encoded into
// slotBytes as the slot's blocks are, whole and part. Padding is encoded
// silence.
FitResult FitData(const unsigned char* part, std::size_t partBytes, const DataLayout& from,
                  std::uint32_t partRate, const DataLayout& to, std::uint32_t slotRate,
                  std::size_t slotBytes, std::uint64_t seed);
