#include "platform/wildcard.h"

namespace {

unsigned char Upper(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// Bytes of the character at name[n]: a whole UTF-8 sequence is one
// character, as Windows counts the characters of a name, and any other byte
// is one of its own. (A character beyond U+FFFF, two to Windows, is one here.)
std::size_t CharLength(std::string_view name, std::size_t n) {
  const auto lead = static_cast<unsigned char>(name[n]);
  const std::size_t length = lead >= 0xf5   ? 1
                             : lead >= 0xf0 ? 4
                             : lead >= 0xe0 ? 3
                             : lead >= 0xc2 ? 2
                                            : 1;
  if (n + length > name.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(name[n + i]) & 0xc0) != 0x80) return 1;
  }
  return length;
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
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
    } else if (p < pattern.size() && Upper(pattern[p]) == Upper(name[n])) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      // '*' takes whole characters too, or a '?' after it could start inside one.
      p = star + 1;
      n = resume += CharLength(name, resume);
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
