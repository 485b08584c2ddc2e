// Where the folder part of a user's pattern ends.
#pragma once

#include <cstddef>
#include <string>

// Length of the folder part, separator included: the bare names a search
// returns are opened as this prefix plus the name.
std::size_t DirPartLength(const std::string& pattern);
