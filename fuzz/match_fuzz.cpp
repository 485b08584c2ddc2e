// The search layer's matching on arbitrary pattern and name pairs, split at
// the first NUL byte: no crash, no read outside either, and the rules hold.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/name_key.h"
#include "platform/wildcard.h"

namespace {

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\0');
  if (cut == std::string_view::npos) return 0;
  const std::string_view pattern = input.substr(0, cut);
  const std::string_view name = input.substr(cut + 1);
  const bool matches = MatchesPattern(pattern, name);

  // Letters are matched without regard to case.
  if (MatchesPattern(AsciiUpper(pattern), name) != matches) std::abort();
  if (MatchesPattern(pattern, AsciiUpper(name)) != matches) std::abort();
  // "*" matches every name, and a name always matches itself.
  if (!MatchesPattern("*", name) || !MatchesPattern(name, name)) std::abort();
  // Without wildcards a pattern matches exactly the names of the same key.
  if (!HasWildcard(pattern) && matches != (KeyOf(pattern) == KeyOf(name))) std::abort();
  return 0;
}
