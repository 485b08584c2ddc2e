#include "waves/part_search.h"

#include "platform/path.h"
#include "platform/search.h"
#include "platform/wildcard.h"
#include "waves/messages.h"
#include "waves/part_name.h"

bool ForEachPartFile(const std::string& dir, const std::string& container,
                     const std::function<bool(const std::string& name)>& take,
                     std::string* failure) {
  bool done = true;
  // Every match begins with the container's name then, unless that name
  // holds a wildcard of its own, which could match other containers' parts.
  const bool check = HasWildcard(container);
  std::string why;
  const bool searched = SearchFolder(
      PathIn(dir, container + "_*.wav"),
      [&](const std::string& name, bool /*directory*/) {
        if ((!check || IsPartFileOf(name, container)) && !take(name)) done = false;
      },
      &why);
  if (searched) return done;
  Complain(PathIn(dir, container), "cannot search for its part files: " + why);
  if (failure != nullptr) *failure = "cannot search for its part files: " + why;
  return false;
}
