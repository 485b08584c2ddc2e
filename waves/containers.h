// The search for the containers the user's argument names, shared by both
// programs.
#pragma once

#include <functional>
#include <string>

// Calls take(dir, name, directory) for each match of pattern, in search
// order: dir is the pattern's folder part, where the match and its part
// files are opened; name is the match's bare name. The matches are all
// taken before the first call, so files a call creates are never taken as
// containers of the same run. Returns false when any call did, or when the
// folder could not be listed, or not to its end (said on standard error
// after the calls for the matches found).
bool ForEachContainer(const std::string& pattern,
                      const std::function<bool(const std::string& dir, const std::string& name,
                                               bool directory)>& take);
