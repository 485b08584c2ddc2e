#include "platform/console.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <exception>

namespace {

// The console outlives the program, and the shell in it expects the code
// page it had: 0 while there is nothing to put back.
UINT previous = 0;
std::terminate_handler terminating = nullptr;

void PutBack() {
  if (previous != 0) SetConsoleOutputCP(previous);
}

// Ctrl+C, Ctrl+Break and closing the window end the process without exit().
BOOL WINAPI OnControl(DWORD /*event*/) {
  PutBack();
  return FALSE;  // the system's own handler then ends the process
}

// An uncaught exception ends the process without exit() too.
[[noreturn]] void OnTerminate() {
  PutBack();
  if (terminating != nullptr) terminating();
  std::abort();
}

bool IsConsole(DWORD stream) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
}

}  // namespace

void PrepareConsole() {
  if (!IsConsole(STD_OUTPUT_HANDLE) && !IsConsole(STD_ERROR_HANDLE)) return;
  const UINT current = GetConsoleOutputCP();
  // Without a way back, the console keeps its code page: names then show as
  // that code page spells their bytes, and nothing else is lost.
  if (current == 0 || current == CP_UTF8 || std::atexit(PutBack) != 0 ||
      !SetConsoleCtrlHandler(OnControl, TRUE)) {
    return;
  }
  terminating = std::set_terminate(OnTerminate);
  previous = current;  // before the change, so that Ctrl+C at once still puts it back
  SetConsoleOutputCP(CP_UTF8);
}

bool IsPlatformHelpSwitch(const std::string& arg) { return arg == "/?"; }
#else
void PrepareConsole() {}

bool IsPlatformHelpSwitch(const std::string& /*arg*/) { return false; }
#endif
