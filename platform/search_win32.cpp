// The directory search on Windows: the system's own, FindFirstFileA and
// FindNextFileA, whose records give each match's bare name in cFileName.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "platform/listing_notes.h"
#include "platform/path.h"
#include "platform/search.h"
#include "platform/system_error.h"
#include "platform/wildcard.h"

namespace {

// Whether the search stopped because it ran to its end or found nothing;
// false with why it stopped otherwise.
bool Ended(std::string* err) {
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
      error == ERROR_NO_MORE_FILES) {
    return true;
  }
  *err = SystemMessage(error);
  return false;
}

// The record holds 259 bytes and a zero. A longer name comes cut short
// (Wine cuts it there, at a character's end), and a name cut short may no
// longer match the pattern, or match another file's: one of 257 bytes or
// more is never taken, nor passed over unsaid.
constexpr std::size_t kMaybeCut = 257;

std::string CutShort(const std::string& name) {
  return "the system gave a name of " + std::to_string(name.size()) +
         " bytes, which it may have cut short, and it is left out: " + name;
}

}  // namespace

bool SearchFolder(const std::string& pattern,
                  const std::function<void(const std::string& name, bool directory)>& take,
                  std::string* err) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return Ended(err);
  // A name without wildcards is the one file the system resolved it to,
  // whatever it was typed as: "bank.dat." or a short name. A pattern with
  // them also matches the short aliases of longer names, which are left out.
  const std::string names = pattern.substr(DirPartLength(pattern));
  const bool check = HasWildcard(names);
  // The system gives "." and ".." under the folder's own name: they are
  // said as typed, as other systems' listings show them.
  const bool dots = names == "." || names == "..";
  std::string cut;
  do {
    const std::string name = dots ? names : found.cFileName;
    if (name.size() >= kMaybeCut) {
      if (cut.empty()) cut = CutShort(name);
    } else if (!check || MatchesPattern(names, name)) {
      take(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
  } while (FindNextFileA(search, &found));
  // Only the end of the listing ends it well; anything else cut it short.
  const bool ended = Ended(err);
  FindClose(search);
  if (ended && !cut.empty()) *err = cut;
  return ended && cut.empty();
}

// The system's own search sees every file as it is.
void NoteCreated(const std::string& /*path*/) {}
void NoteRemoved(const std::string& /*path*/) {}
