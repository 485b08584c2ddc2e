// The search layer's matching on arbitrary pattern and name pairs, split at
// the first NUL byte: no crash, no read outside either, and the rules hold.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\0');
  if (cut == std::string_view::npos) return 0;
  const std::string_view pattern = input.substr(0, cut);
  const std::string_view name = input.substr(cut + 1);
  const bool matches = MatchesPattern(pattern, name);

  // Letters are matched without regard to case.
  if (MatchesPattern(UpperCased(pattern), name) != matches) std::abort();
  if (MatchesPattern(pattern, UpperCased(name)) != matches) std::abort();
  // "*" matches every name, and a name always matches itself.
  if (!MatchesPattern("*", name) || !MatchesPattern(name, name)) std::abort();
  // Without wildcards a pattern matches exactly the names equal to it.
  if (pattern.find_first_of("*?") == std::string_view::npos &&
      matches != (UpperCased(pattern) == UpperCased(name))) {
    std::abort();
  }
  return 0;
}
