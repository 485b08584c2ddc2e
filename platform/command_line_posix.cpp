#include "platform/command_line.h"

bool IsPlatformHelpSwitch(const std::string& /*arg*/) { return false; }

bool IsPlatformSwitch(const std::string& /*arg*/) { return false; }
