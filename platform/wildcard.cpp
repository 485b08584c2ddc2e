#include "platform/wildcard.h"

namespace {

unsigned char Upper(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// Greedy match that backtracks only to the last '*': linear in practice,
// never exponential on hostile patterns.
bool Glob(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string_view::npos;
  std::size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Upper(pattern[p]) == Upper(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (Glob(pattern, name)) return true;
  const std::size_t size = pattern.size();
  return size >= 2 && pattern.substr(size - 2) == ".*" && Glob(pattern.substr(0, size - 2), name);
}

std::string UpperCased(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(Upper(c));
  return key;
}
