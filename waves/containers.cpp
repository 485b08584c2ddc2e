#include "waves/containers.h"

#include <utility>
#include <vector>

#include "platform/find.h"
#include "platform/path.h"

bool ForEachContainer(const std::string& pattern,
                      const std::function<bool(const std::string& dir, const std::string& name,
                                               bool directory)>& take) {
  std::vector<std::pair<std::string, bool>> matches;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      matches.emplace_back(found.cFileName,
                           (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  // The search returns bare names; they are opened where the user pointed.
  const std::string dir = pattern.substr(0, DirPartLength(pattern));
  bool done = true;
  for (const auto& [name, directory] : matches) {
    if (!take(dir, name, directory)) done = false;
  }
  return done;
}
