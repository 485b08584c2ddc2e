// Names as Windows compares them: character by character, letters folded to
// upper case by the system's own table for file names.
#pragma once

#include <string>
#include <string_view>

// The name as it compares: one element per character as the platform
// counts them (a Unicode character here, a UTF-16 unit on Windows), each
// letter in upper case. Names that differ only in the case of their letters
// have the same key, and keys order names as Windows lists them. Only
// letters whose upper case turns back into them are folded, as in Windows'
// table: 'ı', 'ſ', 'ς' and 'µ' keep their own case. A character beyond
// U+FFFF keeps its case too, since Windows compares names a UTF-16 unit at a
// time. A byte that starts no UTF-8 sequence is an element of its own.
std::u32string KeyOf(std::string_view name);
