// Pattern matching of the directory search where the platform has none, and
// the check of what Windows' own search returns.
#pragma once

#include <string>
#include <string_view>

// Whole-name match, names compared as they are on Windows (name_key.h): '*'
// any run of characters, '?' one character, every other character itself,
// letters without regard to case. A pattern ending in ".*" also matches
// names without that dot and extension ("a.*" matches "a").
bool MatchesPattern(std::string_view pattern, std::string_view name);

// The same for the keys of both.
bool MatchesKey(std::u32string_view pattern, std::u32string_view name);

// Whether pattern holds a wildcard, of ours or of Windows' search ('<', '>'
// and '"' too): one without names a single file.
bool HasWildcard(std::string_view pattern);
