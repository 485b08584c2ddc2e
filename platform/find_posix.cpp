// The directory search for platforms without FindFirstFileA. Each directory
// is read once and its sorted listing serves every later search of the run:
// a container's part-file search then costs a binary search, not a scan of
// the directory. The files the programs create and remove themselves are
// entered into the listing as they go (listing.h); changes made by others
// during a run are not seen, as on Windows they may or may not be.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/find.h"
#include "platform/listing.h"
#include "platform/name_key.h"
#include "platform/path.h"
#include "platform/wildcard.h"

namespace {

struct Entry {
  int rank;            // 0 for ".", 1 for "..", 2 for the rest
  std::u32string key;  // as the name compares (name_key.h)
  std::string name;
  bool directory;
};

// Windows' order on its own file systems: "." and "..", then by key; names
// equal but for case by their own bytes, so that every run gives the same
// order.
bool ComesBefore(const Entry& a, const Entry& b) {
  if (a.rank != b.rank) return a.rank < b.rank;
  const int order = a.key.compare(b.key);
  return order != 0 ? order < 0 : a.name < b.name;
}

struct InSearchOrder {
  bool operator()(const Entry& a, const Entry& b) const { return ComesBefore(a, b); }
};

// A set, so that a file the run creates is entered without moving the rest.
using Listing = std::set<Entry, InSearchOrder>;

// Copies, not pointers into the listing: the listing may change while a
// search is open.
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

std::map<std::string, Listing> listings;  // by the directory part of the pattern

// Null, with errno set, when the directory cannot be read.
const Listing* ListingOf(const std::string& dir) {
  const auto known = listings.find(dir);
  if (known != listings.end()) return &known->second;
  DIR* stream = opendir(dir.empty() ? "." : dir.c_str());
  if (stream == nullptr) return nullptr;
  std::vector<Entry> entries;
  for (;;) {
    errno = 0;  // readdir tells its end from a failure only by errno
    const dirent* entry = readdir(stream);
    if (entry == nullptr) break;
    const std::string name = entry->d_name;
    const int rank = name == "." ? 0 : name == ".." ? 1 : 2;
    entries.push_back({rank, KeyOf(name), name, IsDirectory(dir, entry)});
  }
  const int error = errno;
  closedir(stream);
  if (error != 0) {
    errno = error;
    return nullptr;
  }
  return &listings.emplace(dir, Listing(entries.begin(), entries.end())).first->second;
}

// The cached listing that path's folder part names, or null.
Listing* CachedListing(const std::string& path, std::string* name) {
  const std::size_t dirLength = DirPartLength(path);
  *name = path.substr(dirLength);
  const auto known = listings.find(path.substr(0, dirLength));
  return known == listings.end() ? nullptr : &known->second;
}

// The start every match's key must have. A pattern ending in ".*" also
// matches names without it, so that part never counts.
std::u32string LiteralPrefix(std::u32string pattern) {
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, U".*") == 0) {
    pattern.resize(pattern.size() - 2);
  }
  return pattern.substr(0, pattern.find_first_of(U"*?"));
}

// The next match into the record. The search fails, as Windows' does, at
// a name longer than the record holds: a listing cut short there must not
// pass for a whole one.
BOOL Hand(Search* search, WIN32_FIND_DATAA* found) {
  if (search->next == search->matches.size()) {
    errno = ENOENT;  // no more
    return 0;
  }
  const Entry& entry = search->matches[search->next];
  if (entry.name.size() >= MAX_PATH) {
    errno = ENAMETOOLONG;
    return 0;
  }
  ++search->next;
  found->dwFileAttributes = entry.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  std::memcpy(found->cFileName, entry.name.c_str(), entry.name.size() + 1);
  return 1;
}

}  // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) {
  errno = ENOENT;  // what a search that finds nothing leaves
  if (pattern == nullptr) return INVALID_HANDLE_VALUE;
  const std::string whole = pattern;
  const std::string dir = whole.substr(0, DirPartLength(whole));
  const std::string names = whole.substr(dir.size());
  const Listing* listing = ListingOf(dir);
  if (listing == nullptr) return INVALID_HANDLE_VALUE;

  auto* search = new Search;
  const std::u32string key = KeyOf(names);
  auto entry = listing->begin();
  for (; entry != listing->end() && entry->rank < 2; ++entry) {
    if (MatchesKey(key, entry->key)) search->matches.push_back(*entry);
  }
  // Past the dots the order is by key, so the names that can match form one
  // run: those whose keys begin with the pattern's literal prefix.
  const std::u32string prefix = LiteralPrefix(key);
  entry = listing->lower_bound(Entry{2, prefix, "", false});
  for (; entry != listing->end() && entry->key.compare(0, prefix.size(), prefix) == 0; ++entry) {
    if (MatchesKey(key, entry->key)) search->matches.push_back(*entry);
  }
  if (Hand(search, found)) return search;
  const int error = errno;
  delete search;
  errno = error;
  return INVALID_HANDLE_VALUE;
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found) {
  return Hand(static_cast<Search*>(search), found);
}

BOOL FindClose(HANDLE search) {
  delete static_cast<Search*>(search);
  return 1;
}

void ListingGained(const std::string& path) {
  std::string name;
  Listing* listing = CachedListing(path, &name);
  if (listing == nullptr) return;
  listing->insert(Entry{2, KeyOf(name), name, false});
}

void ListingLost(const std::string& path) {
  std::string name;
  Listing* listing = CachedListing(path, &name);
  if (listing == nullptr) return;
  listing->erase(Entry{2, KeyOf(name), name, false});
}
