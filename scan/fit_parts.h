// wavescan --fit over one container: which parts to fit, and why the others
// are left as they are.
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

// Fits each of container's parts that has a problem and can be fitted (in
// container, open for reading, in dir), then reads those parts again, with
// where they now meet. Every other part with a problem gets why not. False
// when a file could not be read or written.
bool FitParts(std::FILE* file, const std::string& dir, const RunFiles& files,
              ContainerSummary* container, std::vector<PartFinding>* parts);
