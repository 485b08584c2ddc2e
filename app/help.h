// What both programs answer when asked what they are.
#pragma once

#include <string>

enum class Request { kNone, kHelp, kVersion };

// What arg asks for: help (--help, or the platform's own switch: /? on
// Windows), the version (--version), or nothing, when it is not one of them
// whole.
Request RequestIn(const std::string& arg);

// The project's version, as --version gives it.
const char* ProgramVersion();

// Prints the answer on standard output: for help the usage, a blank line and
// the description; for the version the program's name and the project's
// version. The exit status: 0, or 1 when the answer could not be written.
int AnswerRequest(Request request, const char* program, const char* usage, const char* description);
