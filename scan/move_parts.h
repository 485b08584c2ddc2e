// wavescan --moved-from over one container: after the program that owns it
// was updated, each part file is renamed to the offset where the wave it
// was made for now lies, found by that wave's exact bytes in the old
// version of the container.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "scan/findings.h"
#include "scan/match_waves.h"
#include "scan/report.h"

// Moves the part files of the container open as file (dir + summary->name)
// to where their waves went since the version in oldDir, and says a line
// for each through report.moved; first finishes or undoes what a run
// stopped half-way left. Fills *moves with what became of each part, by
// its name after the run, and *waves with the container's own waves when
// it was read whole. False, having said why on standard error, when a file
// could not be read or renamed, or the old version is none.
bool MoveParts(std::FILE* file, const std::string& dir, const std::string& oldDir,
               ScanReport* report, ContainerSummary* summary, std::map<std::string, Moving>* moves,
               std::vector<WaveKey>* waves);
