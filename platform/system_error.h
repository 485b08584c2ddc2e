// The system's own words for why a call failed. Every call of the programs
// that can fail says so one way: it returns false and gives why in a last
// argument, std::string* err, in the words shown after the path and what
// was being done, which the caller names. A call whose caller must tell
// some failures from others gives that apart from the words, in an enum or
// a flag.
#pragma once

#include <string>

// On Windows error is a GetLastError code, elsewhere an errno value.
std::string SystemMessage(unsigned long error);
