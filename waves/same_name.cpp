#include "waves/same_name.h"

#include "platform/name_key.h"
#include "platform/open_file.h"
#include "platform/search.h"

std::vector<std::string> SameNames(const std::string& dir, const std::string& name) {
  std::vector<std::string> names;
  const std::u32string key = KeyOf(name);
  // The name as its own pattern: a '*' or '?' in it matches more, which the
  // comparison then leaves out. A search that fails finds none.
  SearchFolder(dir + name, [&](const std::string& found, bool directory) {
    if (!directory && KeyOf(found) == key && IsRegularFile(dir + found)) {
      names.push_back(found);
    }
  });
  return names;
}
