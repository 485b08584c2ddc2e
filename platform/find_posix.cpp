// The directory search for platforms without FindFirstFileA: reads the whole
// directory, keeps the names the pattern matches and hands them out in the
// order Windows gives on its own file systems, so runs repeat on every platform.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/find.h"
#include "platform/path.h"
#include "platform/wildcard.h"

namespace {

struct Entry {
  std::string name;
  bool directory;
};

struct Search {
  std::vector<Entry> matches;
  std::size_t next = 0;
};

bool IsDirectory(const std::string& dir, const dirent* entry) {
#ifdef DT_DIR
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return entry->d_type == DT_DIR;
#endif
  struct stat info {};
  const std::string path = (dir.empty() ? std::string("./") : dir) + entry->d_name;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

BOOL Hand(Search* search, WIN32_FIND_DATAA* found) {
  if (search->next == search->matches.size()) return 0;
  const Entry& entry = search->matches[search->next++];
  found->dwFileAttributes = entry.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  std::memcpy(found->cFileName, entry.name.c_str(), entry.name.size() + 1);
  return 1;
}

}  // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) {
  if (pattern == nullptr) return INVALID_HANDLE_VALUE;
  const std::string whole = pattern;
  const std::string dir = whole.substr(0, DirPartLength(whole));
  const std::string names = whole.substr(dir.size());
  DIR* stream = opendir(dir.empty() ? "." : dir.c_str());
  if (stream == nullptr) return INVALID_HANDLE_VALUE;
  auto* search = new Search;
  while (const dirent* entry = readdir(stream)) {
    const std::string name = entry->d_name;
    // A name the record cannot hold cannot be handed out whole.
    if (name.size() >= MAX_PATH || !MatchesPattern(names, name)) continue;
    search->matches.push_back({name, IsDirectory(dir, entry)});
  }
  closedir(stream);
  std::sort(search->matches.begin(), search->matches.end(),
            [](const Entry& a, const Entry& b) { return ComesBefore(a.name, b.name); });
  if (Hand(search, found)) return search;
  delete search;
  return INVALID_HANDLE_VALUE;
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found) {
  return Hand(static_cast<Search*>(search), found);
}

BOOL FindClose(HANDLE search) {
  delete static_cast<Search*>(search);
  return 1;
}
