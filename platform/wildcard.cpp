#include "platform/wildcard.h"

#include "platform/name_key.h"

namespace {

// Greedy match that backtracks only to the last '*': linear in practice,
// never exponential on hostile patterns.
bool Glob(std::u32string_view pattern, std::u32string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::u32string_view::npos;
  std::size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == U'*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (star != std::u32string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesKey(std::u32string_view pattern, std::u32string_view name) {
  if (Glob(pattern, name)) return true;
  const std::size_t size = pattern.size();
  return size >= 2 && pattern.substr(size - 2) == U".*" && Glob(pattern.substr(0, size - 2), name);
}

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  return MatchesKey(KeyOf(pattern), KeyOf(name));
}

bool HasWildcard(std::string_view pattern) {
  // Windows' own search also takes '<', '>' and '"' as wildcards (for
  // '*', '?' and '.' in old programs' patterns).
  return pattern.find_first_of("*?<>\"") != std::string_view::npos;
}
