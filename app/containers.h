// The search for the containers the user's argument names, shared by both
// programs.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Match {
  std::string name;  // bare, as the search returned it
  bool directory = false;
};

// The matches of pattern in search order, all taken before the first is
// handled, so that files the run creates are never taken as containers of
// the same run. *dir is the pattern's folder part, where the matches and
// their part files are opened. False with the system's reason when the
// folder could not be listed to its end: the matches found before it
// stopped are given all the same, to be handled before ListedWhole says so.
bool FindContainers(const std::string& pattern, std::string* dir, std::vector<Match>* matches,
                    std::string* err);

// Whether the folder dir was listed; when it was not, says on standard
// error that it could not be (or not to its end), and why.
bool ListedWhole(const std::string& dir, bool listed, const std::string& err);

// Calls take(dir, name, directory) for each match of FindContainers.
// Returns false when any call did, or when the folder could not be listed
// to its end.
bool ForEachContainer(const std::string& pattern,
                      const std::function<bool(const std::string& dir, const std::string& name,
                                               bool directory)>& take);
