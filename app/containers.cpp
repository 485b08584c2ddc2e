#include "app/containers.h"

#include "platform/path.h"
#include "platform/search.h"
#include "waves/messages.h"

bool FindContainers(const std::string& pattern, std::string* dir, std::vector<Match>* matches,
                    std::string* err) {
  // The search returns bare names; they are opened where the user pointed.
  *dir = pattern.substr(0, DirPartLength(pattern));
  return SearchFolder(
      pattern,
      [matches](const std::string& name, bool directory) {
        matches->push_back({name, directory});
      },
      err);
}

bool ListedWhole(const std::string& dir, bool listed, const std::string& err) {
  if (listed) return true;
  Complain(dir.empty() ? "." : dir, "cannot list: " + err);
  return false;
}

bool ForEachContainer(const std::string& pattern,
                      const std::function<bool(const std::string& dir, const std::string& name,
                                               bool directory)>& take) {
  std::string dir;
  std::vector<Match> matches;
  std::string err;
  const bool listed = FindContainers(pattern, &dir, &matches, &err);
  bool done = true;
  for (const Match& match : matches) {
    if (!take(dir, match.name, match.directory)) done = false;
  }
  // Said once the containers found before the search stopped are handled.
  return ListedWhole(dir, listed, err) && done;
}
