// Where the folder part of a user's pattern ends, and a name's path in a
// folder.
#pragma once

#include <cstddef>
#include <string>

// Length of the folder part, separator included: the bare names a search
// returns are opened as this prefix plus the name.
std::size_t DirPartLength(const std::string& pattern);

// The path of name in folder: a folder that ends as a prefix does (its
// separator, a drive's colon, or "" for the current folder) takes the name
// as it is, any other a separator first. PathIn(folder, "") is the folder
// as a prefix.
std::string PathIn(const std::string& folder, const std::string& name);
