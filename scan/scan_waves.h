// wavescan's pass over one container: finds its waves and its part files as
// wavesplice would take them, judges each part, and with extract writes the
// waves that have no part file yet.
#pragma once

#include <string>

#include "scan/report.h"
#include "scan/same_file.h"

// Reads dir + container only; writes nothing but new part files beside it.
// files are the run's containers, for names that lead to one file. Returns
// false when anything could not be read or written, or the container or any
// part file has a problem; each is said on standard error or in the report.
bool ScanWaves(const std::string& dir, const std::string& container, bool extract,
               const RunFiles& files, const ScanReport& report);
