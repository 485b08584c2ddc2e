#include "platform/system_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

std::string SystemMessage(unsigned long error) {
  char text[512];
  DWORD size = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                              error, 0, text, sizeof text, nullptr);
  // Windows ends its messages in ".\r\n"; the C library's have neither.
  while (size > 0 && (text[size - 1] == '\n' || text[size - 1] == '\r' || text[size - 1] == '.' ||
                      text[size - 1] == ' ')) {
    --size;
  }
  if (size == 0) return "system error " + std::to_string(error);
  return std::string(text, size);
}
