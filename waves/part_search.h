// The search for one container's part files.
#pragma once

#include <functional>
#include <string>

// Calls take with the bare name of each file in dir that the part-file
// search finds for container and that IsPartFileOf (part_name.h) accepts,
// in search order. Returns false when any call did, or when the folder
// could not be listed: said on standard error, and the reason given in
// *failure when asked for.
bool ForEachPartFile(const std::string& dir, const std::string& container,
                     const std::function<bool(const std::string& name)>& take,
                     std::string* failure = nullptr);
