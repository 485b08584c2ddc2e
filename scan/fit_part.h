// wavescan --fit: a replacement rewritten as the wave it replaces, that
// wave's every byte but its samples, which become the replacement's sound
// in the wave's own format. The user's file is kept beside it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "scan/findings.h"
#include "scan/judge.h"
#include "scan/same_file.h"

// Why --fit leaves the part as it is, judged so, or "" when fitting it would
// mend every problem it has: another format, its length, and the overlaps
// its length causes (FitsAlone decides those, with the other parts).
std::string WhyNotFitted(const PartFinding& part, const Judgement& judgement);

// Rewrites dir + part.name as the wave at its offset in container, with
// the part's sound converted into that wave's samples: the user's file is
// kept byte for byte as NAME.orig, and the fitted part written to a new
// file renamed into place. Fills *fitting: done, or why not. A NAME.orig
// that exists already leaves the part as it is. False, having said why on
// standard error, when a file could not be read or written; nothing is then
// changed either.
bool FitPart(std::FILE* container, const std::string& dir, const PartFinding& part,
             Fitting* fitting);

// Fits each of container's parts that has a problem and can be fitted (in
// container, open for reading, in dir), then reads those parts again, with
// where they now meet. The others are left, each with why. False when a
// file could not be read or written.
bool FitParts(std::FILE* file, const std::string& dir, const RunFiles& files,
              ContainerSummary* container, std::vector<PartFinding>* parts);
