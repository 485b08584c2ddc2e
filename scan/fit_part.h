// wavescan --fit: a replacement rewritten as the wave it replaces, that
// wave's every byte but its samples, which become the replacement's sound
// in the wave's own format. The user's file is kept beside it.
#pragma once

#include <cstdio>
#include <string>

#include "scan/findings.h"

// Rewrites dir + part->name as the wave at its offset in container, with
// the part's sound converted into that wave's samples: the user's file is
// kept byte for byte as NAME.orig (a second name of it, or a copy), and the
// fitted part written to NAME.fitting, then renamed over the part, so that
// at every moment each name holds a whole file. Fills part->fitting: done,
// or why not; once done, part's own findings are those of what was
// written. A NAME.orig that exists already, or a part that changed since
// it was judged, leaves the part as it is. False, having said why on
// standard error, when a file could not be read or written; nothing is
// changed then either.
bool FitPart(std::FILE* container, const std::string& dir, PartFinding* part);

// Whether the part's samples are in the wave's exact format and as many
// bytes as its: fitting then copies them byte for byte, whatever the format.
bool KeepsItsSamples(const PartFinding& part);
