// What a part's loops, cue points and header mean for the program that
// plays the wave it replaces: loops past its samples are a problem; loops
// the wave has and it lacks, and a header laid out otherwise, are notes.
#pragma once

#include <vector>

#include "scan/findings.h"
#include "scan/judge.h"

// Adds kLoopPastEnd and the notes to judgement, for a part that is a wave.
void JudgeLoops(const PartFinding& part, Judgement* judgement);

// The chunks up to and including a wave's first "data": what a program that
// reads its header as it was written meets.
std::vector<ChunkSize> HeaderOf(const WaveChunks& chunks);
