#include "waves/containers.h"

#include <utility>
#include <vector>

#include "platform/path.h"
#include "platform/search.h"
#include "waves/report.h"

bool ForEachContainer(const std::string& pattern,
                      const std::function<bool(const std::string& dir, const std::string& name,
                                               bool directory)>& take) {
  std::vector<std::pair<std::string, bool>> matches;
  const std::string why =
      SearchFolder(pattern, [&matches](const std::string& name, bool directory) {
        matches.emplace_back(name, directory);
      });
  // The search returns bare names; they are opened where the user pointed.
  const std::string dir = pattern.substr(0, DirPartLength(pattern));
  bool done = true;
  for (const auto& [name, directory] : matches) {
    if (!take(dir, name, directory)) done = false;
  }
  // Said once the containers found before the search failed are handled,
  // where it stopped.
  if (!why.empty()) {
    Complain(dir.empty() ? "." : dir, "cannot list: " + why);
    done = false;
  }
  return done;
}
