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
// container, open for reading, in dir), judged as judgements say, one for
// each part. A fitted part takes its findings from the fit; where the
// parts meet is found again, and what a fit changed judged again. Every
// other part with a problem gets why not. False when a file could not be
// read or written.
bool FitParts(std::FILE* file, const std::string& dir, const RunFiles& files,
              ContainerSummary* container, std::vector<PartFinding>* parts,
              std::vector<Judgement>* judgements);
