// Each problem a part can have, in one row: the name scripts read, the
// words people read, and what --fit makes of it.
#pragma once

#include <string>

#include "scan/findings.h"
#include "scan/judge.h"

struct ProblemRow {
  Problem problem;
  const char* key;  // "longer", "not_a_wave", ...: the name scripts read
  // The sentence said of it on the part's line, "PROBLEM: ..." .
  std::string (*words)(const PartFinding& part, const Judgement& judgement);
  // Why --fit leaves a part that has it as it is, or null when it does not
  // stop the fit.
  const char* notFitted;
  // Whether fitting the part mends it. Neither this nor notFitted: other
  // parts decide (the overlaps, FitsAlone).
  bool fitMends;
};

const ProblemRow& RowOf(Problem problem);

// "fits", "longer", "not_a_wave", ...: the names scripts read.
const char* VerdictKey(const Judgement& judgement);
const char* ProblemKey(Problem problem);
const char* NoteKey(Note note);
