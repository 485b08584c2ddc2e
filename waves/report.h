// Messages about files that could not be handled, on standard error.
#pragma once

#include <string>

// Prints "wavesplice: PATH: WHAT" and, when error is not 0, the system's
// reason for it. Standard output is flushed first so that a combined log
// keeps the order of events.
void Complain(const std::string& path, const std::string& what, int error = 0);
