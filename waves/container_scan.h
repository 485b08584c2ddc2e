// wavescan's pass over one container: lists its waves, checks its part files
// as wavesplice would take them, and with extract writes the waves that have
// no part file yet.
#pragma once

#include <string>

// Reads dir + container only; writes nothing but new part files beside it.
// Returns false when anything could not be read or written, or any part
// file has a problem; each is said on standard output or standard error.
bool ScanContainer(const std::string& dir, const std::string& container, bool extract);
