#include "platform/command_line.h"

#ifdef _WIN32
bool IsPlatformHelpSwitch(const std::string& arg) { return arg == "/?"; }
#else
bool IsPlatformHelpSwitch(const std::string& /*arg*/) { return false; }
#endif
