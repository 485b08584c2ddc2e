// What the command line means on each platform.
#pragma once

#include <string>

// Whether arg is the platform's own way of asking a program for help: "/?"
// on Windows. None elsewhere, where "/?" names files.
bool IsPlatformHelpSwitch(const std::string& arg);

// Whether arg has the form of the platform's own switches: on Windows '/'
// and letters, as in "/json", which a user there may give for an option.
// Never elsewhere, where it names a file at the root.
bool IsPlatformSwitch(const std::string& arg);
