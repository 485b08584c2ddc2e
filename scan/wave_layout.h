// How a wave's fmt chunk lays out its samples, for the sound core.
#pragma once

#include <string>

#include "scan/chunks.h"
#include "sound/sample_layout.h"

// How the samples of a wave in format lie: "" with *layout, or why they are
// none that can be converted, in words.
std::string LayoutOf(const WaveFormat& format, SampleLayout* layout);
