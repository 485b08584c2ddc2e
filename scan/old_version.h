// The old version of a container, for --moved-from: the file of the same
// name in the old folder, as the search compares names.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "waves/reading.h"

// Opens oldDir's version of container (found in dir) for reading, with its
// path and size. False with why, a line to say after the path, when there
// is none, it cannot be read, or it is the container itself.
bool OpenOldVersion(const std::string& oldDir, const std::string& dir, const std::string& container,
                    ReadOnlyFile* file, std::string* path, std::uint64_t* size, std::string* err);
