// How a wave's fmt chunk lays out its samples, for the sound core.
#pragma once

#include <string>

#include "sound/fit_data.h"
#include "sound/format.h"

// Whether --fit reads a wave in the format (a replacement's) or writes it
// (a slot's): the words of a refusal differ.
enum class Use { kRead, kWrite };

// Whether an ADPCM format's samples per block are what its block align
// holds, as decoders count them from it.
bool BlockSamplesAgree(const WaveFormat& format);

// How the samples of a wave in format lie, in *layout: false with why they
// are none that --fit converts, in words.
bool LayoutOf(const WaveFormat& format, Use use, DataLayout* layout, std::string* err);

// Whether the format is one --fit codes: G.711 or ADPCM.
bool IsCoded(const WaveFormat& format);
