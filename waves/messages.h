// Messages about files that could not be handled, on standard error, and
// what both programs print their lines with.
#pragma once

#include <cstdint>
#include <string>

// Names the program in its messages and prepares the process for the run
// (platform/process.h). False, having said why, when the run cannot safely
// go on.
bool StartProgram(const char* name);

// Prints "PROGRAM: PATH: WHAT" and, when error is not 0, the system's
// reason for it, on standard error (platform/output.h).
void Complain(const std::string& path, const std::string& what, int error = 0);

// A name as the lines for people show it: as it is, but for control
// characters, which are shown escaped (\n, \r, \t, \x1b, ...) so that a
// name can neither recolour the terminal nor start a line of its own.
std::string Shown(const std::string& name);

// "WHAT: the system's reason", for messages built before they are printed.
std::string Reason(const std::string& what, int error);

// An offset or length as the programs print them: at least eight lower-case
// hexadecimal digits, as in "00000040".
std::string Hex(std::uint64_t value);

// Flushes standard output at the end of a run; false, having said so, when
// anything written to it was lost.
bool FinishOutput();
