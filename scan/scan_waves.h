// wavescan's pass over one container: finds its waves and its part files as
// wavesplice would take them, judges each part; asked to, writes the waves
// that have no part file yet, and fits the parts that can be fitted.
#pragma once

#include <string>

#include "scan/report.h"
#include "scan/same_file.h"

struct ScanOptions {
  bool extract = false;  // write each wave that has no part file as one
  bool fit = false;      // rewrite the parts that can be made to fit (fit_part.h)
  // The folder of the containers' old versions, its separator included:
  // move each part to where its wave went since (move_parts.h) first.
  std::string movedFrom;
};

// Reads dir + container only; writes nothing but part files beside it.
// files are the run's containers, for names that lead to one file. Returns
// false when anything could not be read or written, or the container or any
// part file has a problem after the run; each is said on standard error or
// in the report.
bool ScanWaves(const std::string& dir, const std::string& container, const ScanOptions& options,
               const RunFiles& files, ScanReport* report);
