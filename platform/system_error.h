// The system's own words for why a call failed.
#pragma once

#include <string>

// On Windows error is a GetLastError code, elsewhere an errno value.
std::string SystemMessage(unsigned long error);
