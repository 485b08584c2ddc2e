// What the command line means on each platform.
#pragma once

#include <string>

// Whether arg is the platform's own way of asking a program for help: "/?"
// on Windows. None elsewhere, where "/?" names files.
bool IsPlatformHelpSwitch(const std::string& arg);
