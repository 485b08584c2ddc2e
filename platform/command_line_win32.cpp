#include "platform/command_line.h"

bool IsPlatformHelpSwitch(const std::string& arg) { return arg == "/?"; }

bool IsPlatformSwitch(const std::string& arg) {
  if (arg.size() < 2 || arg[0] != '/') return false;
  for (std::size_t i = 1; i < arg.size(); ++i) {
    const char c = arg[i];
    if (!(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z')) return false;
  }
  return true;
}
