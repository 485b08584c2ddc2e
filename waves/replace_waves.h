// wavesplice's pass over one container.
#pragma once

#include <string>

// Opens dir + container for update and splices in every part file found in
// dir, in search order. Returns false when anything could not be done; the
// pass still goes on with the next part file.
bool ReplaceWaves(const std::string& dir, const std::string& container);
