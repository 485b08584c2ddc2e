// Pattern matching of the directory search where the platform has none.
#pragma once

#include <string_view>

// Whole-name match: '*' any run of bytes, '?' one byte, every other byte
// itself, ASCII letters without regard to case. A pattern ending in ".*" also
// matches names without that dot and extension ("a.*" matches "a").
bool MatchesPattern(std::string_view pattern, std::string_view name);

// Compares byte by byte after ASCII upper-casing: negative, 0 or positive.
int CompareUpper(std::string_view a, std::string_view b);

// Strict weak order of the search: ".", "..", then byte by byte after ASCII
// upper-casing; names equal but for case fall back to their raw bytes.
bool ComesBefore(std::string_view a, std::string_view b);
