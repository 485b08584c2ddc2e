// The two ways wavescan prints what it finds: lines for people, and one
// JSON document for scripts. Both print the same findings in the same
// order, as the run goes.
#pragma once

#include <cstddef>
#include <string>

#include "scan/findings.h"
#include "scan/judge.h"

// Where the report's output stands: what has been printed of the current
// document, for the commas and brackets JSON puts between values. Starts
// at zero with each run.
struct ReportPlace {
  std::size_t containers = 0;
  std::size_t waves = 0;  // of the current container
  std::size_t parts = 0;
};

// A run's report: how it prints each finding, and where it stands. Copied
// from kTextReport or kJsonReport at the start of a run and passed along to
// every call that prints.
struct ScanReport {
  void (*start)(ReportPlace* place, const char* version);
  // What --moved-from did, before the container's check.
  void (*moved)(ReportPlace* place, const std::string& line);
  void (*opened)(ReportPlace* place, const ContainerSummary& container);  // before its waves
  void (*wave)(ReportPlace* place, const WaveFinding& wave);
  // After its waves.
  void (*part)(ReportPlace* place, const PartFinding& part, const Judgement& judgement);
  // Also for one that could not be opened.
  void (*done)(ReportPlace* place, const ContainerSummary& container);
  // At the end; unlisted says why the folder could not be listed to its
  // end, or is "".
  void (*finish)(ReportPlace* place, const std::string& unlisted);
  ReportPlace place;
};

extern const ScanReport kTextReport;
extern const ScanReport kJsonReport;
