// The directory search where the system has none of Windows' kind. Each
// folder is read once and its sorted listing serves every later search of
// the run: a container's part-file search then costs a binary search, not a
// scan of the folder. Matches are found by their keys, so they need no
// check after. The files the run itself creates and removes are entered as
// it goes (listing_notes.h); changes made by others during a run
// are not seen, as on Windows they may or may not be.
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/listing_notes.h"
#include "platform/name_key.h"
#include "platform/path.h"
#include "platform/search.h"
#include "platform/system_error.h"
#include "platform/wildcard.h"

namespace {

struct Entry {
  int rank;            // 0 for ".", 1 for "..", 2 for the rest
  std::u32string key;  // as the name compares (name_key.h)
  std::string name;
  // cppcheck-suppress unusedStructMember ; read through the set's iterators
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

bool IsDirectory(const std::string& dir, const dirent* entry) {
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return entry->d_type == DT_DIR;
  struct stat info {};
  const std::string path = (dir.empty() ? std::string("./") : dir) + entry->d_name;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// By the folder part of the pattern. Never destroyed: the listings last as
// long as the run, and freeing them one by one at its end costs time and
// gives nothing back.
std::map<std::string, Listing>& Listings() {
  static auto* listings = new std::map<std::string, Listing>;
  return *listings;
}

// The listing of dir, read at its first search; an empty one for a folder
// that does not exist. False when the folder cannot be read.
bool ListingOf(const std::string& dir, const Listing** listing, std::string* err) {
  const auto known = Listings().find(dir);
  if (known != Listings().end()) {
    *listing = &known->second;
    return true;
  }
  DIR* stream = opendir(dir.empty() ? "." : dir.c_str());
  if (stream == nullptr) {
    static const Listing kNone;
    *listing = &kNone;
    if (errno == ENOENT || errno == ENOTDIR) return true;
    *err = SystemMessage(errno);
    return false;
  }
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
    *err = SystemMessage(static_cast<unsigned long>(error));
    return false;
  }
  *listing = &Listings()
                  .emplace(dir, Listing(std::make_move_iterator(entries.begin()),
                                        std::make_move_iterator(entries.end())))
                  .first->second;
  return true;
}

// The cached listing that path's folder part names, or null.
Listing* CachedListing(const std::string& path, std::string* name) {
  const std::size_t dirLength = DirPartLength(path);
  *name = path.substr(dirLength);
  const auto known = Listings().find(path.substr(0, dirLength));
  return known == Listings().end() ? nullptr : &known->second;
}

// The start every match's key must have. A pattern ending in ".*" also
// matches names without it, so that part never counts.
std::u32string LiteralPrefix(std::u32string pattern) {
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, U".*") == 0) {
    pattern.resize(pattern.size() - 2);
  }
  return pattern.substr(0, pattern.find_first_of(U"*?"));
}

}  // namespace

bool SearchFolder(const std::string& pattern,
                  const std::function<void(const std::string& name, bool directory)>& take,
                  std::string* err) {
  const std::string dir = pattern.substr(0, DirPartLength(pattern));
  const Listing* listing = nullptr;
  if (!ListingOf(dir, &listing, err)) return false;
  // Copies, not pointers into the listing: take may create files, which
  // enter it. Their names are all that is handed on.
  std::vector<std::pair<std::string, bool>> matches;
  const std::u32string key = KeyOf(pattern.substr(dir.size()));
  auto entry = listing->begin();
  for (; entry != listing->end() && entry->rank < 2; ++entry) {
    if (MatchesKey(key, entry->key)) matches.emplace_back(entry->name, entry->directory);
  }
  // Past the dots the order is by key, so the names that can match form one
  // run: those whose keys begin with the pattern's literal prefix.
  const std::u32string prefix = LiteralPrefix(key);
  entry = listing->lower_bound(Entry{2, prefix, "", false});
  for (; entry != listing->end() && entry->key.compare(0, prefix.size(), prefix) == 0; ++entry) {
    if (MatchesKey(key, entry->key)) matches.emplace_back(entry->name, entry->directory);
  }
  for (const auto& [name, directory] : matches) {
    // Windows' search fails at a name longer than its record holds: a
    // listing cut short there must not pass for a whole one.
    if (name.size() > kLongestName) {
      *err = SystemMessage(ENAMETOOLONG);
      return false;
    }
    take(name, directory);
  }
  return true;
}

void NoteCreated(const std::string& path) {
  std::string name;
  Listing* listing = CachedListing(path, &name);
  if (listing == nullptr) return;
  listing->insert(Entry{2, KeyOf(name), name, false});
}

void NoteRemoved(const std::string& path) {
  std::string name;
  Listing* listing = CachedListing(path, &name);
  if (listing == nullptr) return;
  listing->erase(Entry{2, KeyOf(name), name, false});
}
