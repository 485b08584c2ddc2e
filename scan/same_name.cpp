#include "scan/same_name.h"

#include "platform/name_key.h"
#include "platform/open_file.h"
#include "platform/path.h"
#include "platform/search.h"

std::vector<std::string> SameNames(const std::string& dir, const std::string& name) {
  std::vector<std::string> names;
  const std::u32string key = KeyOf(name);
  // Not the name alone: in a folder that tells case apart, Windows resolves
  // a name without wildcards to that one file. With a '*' it lists every
  // spelling, and more, which the comparison leaves out, as it does what a
  // '*' or '?' in the name matches. A search that fails finds none.
  std::string unsearched;
  SearchFolder(
      PathIn(dir, name + "*"),
      [&](const std::string& found, bool directory) {
        if (!directory && KeyOf(found) == key && IsRegularFile(PathIn(dir, found))) {
          names.push_back(found);
        }
      },
      &unsearched);
  return names;
}
