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

int Rank(std::string_view name) { return name == "." ? 0 : name == ".." ? 1 : 2; }

}  // namespace

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (Glob(pattern, name)) return true;
  const std::size_t size = pattern.size();
  return size >= 2 && pattern.substr(size - 2) == ".*" && Glob(pattern.substr(0, size - 2), name);
}

int CompareUpper(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (Upper(a[i]) != Upper(b[i])) return Upper(a[i]) < Upper(b[i]) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool ComesBefore(std::string_view a, std::string_view b) {
  if (Rank(a) != Rank(b)) return Rank(a) < Rank(b);
  const int order = CompareUpper(a, b);
  return order != 0 ? order < 0 : a < b;
}
