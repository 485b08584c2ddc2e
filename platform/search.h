// The directory search both programs make: on Windows the system's own, and
// elsewhere ours, which matches and orders names as Windows does.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The longest name a search returns, in bytes: what its record holds.
constexpr std::size_t kLongestName = 259;

// Calls take(name, directory) with the bare name of each file and folder
// that pattern matches, in the search's order. Where the pattern holds a
// wildcard, only names that themselves match it (wildcard.h) are taken:
// Windows' own search also matches the short aliases of longer names, which
// the user never named. A pattern without one is taken as the system
// resolves it. True when the search is done, also when nothing matched or
// the pattern's folder does not exist; false with the system's reason when
// the folder could not be searched, or not to its end (the names taken
// before then were found), or with the name the system may have cut short,
// which was left out (the others were taken).
bool SearchFolder(const std::string& pattern,
                  const std::function<void(const std::string& name, bool directory)>& take,
                  std::string* err);
