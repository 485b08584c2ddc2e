// What the console and the command line mean on each platform.
#pragma once

#include <string>

// Called first thing in each program. On Windows, while the program runs
// with a console on standard output or standard error, that console shows
// the UTF-8 bytes the program prints as the names they spell; its own code
// page is put back however the program ends. Output to a pipe or a file is
// left alone, and so is every console elsewhere.
void PrepareConsole();

// Whether arg is the platform's own way of asking a program for help: "/?"
// on Windows. None elsewhere, where "/?" names files.
bool IsPlatformHelpSwitch(const std::string& arg);
