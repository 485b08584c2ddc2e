// What is said of a part and of a container: the verdict, each problem's
// sentence (problems.h), each note, and what --fit did or why not, for the
// text lines and JSON's "message".
#pragma once

#include <string>

#include "scan/findings.h"
#include "scan/judge.h"

// Everything said of the part after its name, offset, length and format.
std::string PartMessage(const PartFinding& part, const Judgement& judgement);

// Whether the part's line and its JSON say why --fit left it as it is
// (Fitting::notFitted): --fit was asked to mend it, did not, and it still
// has a problem or a note after the run.
bool SaysNotFitted(const PartFinding& part, const Judgement& judgement);

// The line said of a problem of the container itself (JudgeContainer).
std::string ContainerMessage(Problem problem, const ContainerSummary& container);
