// The two ways wavescan prints what it finds: lines for people, and one
// JSON document for scripts. Both print the same findings in the same
// order, as the run goes.
#pragma once

#include <string>

#include "scan/findings.h"
#include "scan/judge.h"

struct ScanReport {
  void (*start)(const char* version);
  void (*moved)(const std::string& line);  // what --moved-from did, before the container's check
  void (*opened)(const ContainerSummary& container);  // before its waves
  void (*wave)(const WaveFinding& wave);
  void (*part)(const PartFinding& part, const Judgement& judgement);  // after its waves
  void (*done)(const ContainerSummary& container);  // also for one that could not be opened
  // At the end; unlisted says why the folder could not be listed to its
  // end, or is "".
  void (*finish)(const std::string& unlisted);
};

extern const ScanReport kTextReport;
extern const ScanReport kJsonReport;
