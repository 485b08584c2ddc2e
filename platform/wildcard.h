// Pattern matching of the directory search where the platform has none.
#pragma once

#include <string>
#include <string_view>

// Whole-name match: '*' any run of characters, '?' one character (a UTF-8
// sequence, or a byte that starts none), every other byte itself, ASCII
// letters without regard to case; other letters match in their own case
// only. A pattern ending in ".*" also matches names without that dot and
// extension ("a.*" matches "a").
bool MatchesPattern(std::string_view pattern, std::string_view name);

// The name with its ASCII letters upper-cased: names compare as their keys do.
std::string UpperCased(std::string_view name);
