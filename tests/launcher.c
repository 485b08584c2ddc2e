/* Starts one of the Windows programs as a Windows caller would, for the
 * end-to-end cases under Wine, or tells what a user would see:
 *   launcher.exe BIN short FILE                prints FILE's short (8.3) name
 *   launcher.exe BIN detached PROGRAM ARGS...  without standard handles or a
 *                                              console, as a graphical front
 *                                              end or a scheduled task does
 *   launcher.exe BIN hold FILE PROGRAM ARGS... while holding FILE open,
 *                                              shared with nobody
 *   launcher.exe BIN play FILE PROGRAM ARGS... while holding FILE open as a
 *                                              player does, shared for
 *                                              reading only
 *   launcher.exe BIN console PROGRAM ARGS...   in this console, its code
 *                                              page set to 850 first; prints
 *                                              the code page before and after
 * PROGRAM is a name in folder BIN, without ".exe". Exits with the
 * program's status; 90 and up when the launch itself failed. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 4) return 90;
  if (strcmp(argv[2], "short") == 0) {
    char name[MAX_PATH];
    const DWORD size = GetShortPathNameA(argv[3], name, sizeof name);
    if (size == 0 || size >= sizeof name) return 95;
    printf("%s\n", name);
    return 0;
  }
  const int play = strcmp(argv[2], "play") == 0;
  const int hold = play || strcmp(argv[2], "hold") == 0;
  const int console = strcmp(argv[2], "console") == 0;
  const int first = hold ? 4 : 3;
  if (argc <= first) return 90;
  /* On standard error, which stays on the console when output is redirected. */
  if (console &&
      (!SetConsoleOutputCP(850) || fprintf(stderr, "codepage=%u\n", GetConsoleOutputCP()) < 0)) {
    return 96;
  }
  if (hold && CreateFileA(argv[3], GENERIC_READ | GENERIC_WRITE, play ? FILE_SHARE_READ : 0, NULL,
                          OPEN_EXISTING, 0, NULL) == INVALID_HANDLE_VALUE) {
    return 91;
  }
  char line[8192];
  int used = snprintf(line, sizeof line, "\"%s\\%s.exe\"", argv[1], argv[first]);
  for (int i = first + 1; i < argc && used > 0 && used < (int)sizeof line; ++i) {
    used += snprintf(line + used, sizeof line - (size_t)used, " \"%s\"", argv[i]);
  }
  if (used <= 0 || used >= (int)sizeof line) return 92;

  STARTUPINFOA start;
  ZeroMemory(&start, sizeof start);
  start.cb = sizeof start;
  const int detached = !hold && !console;
  if (detached) start.dwFlags = STARTF_USESTDHANDLES; /* and all three null */
  PROCESS_INFORMATION process;
  if (!CreateProcessA(NULL, line, NULL, NULL, !detached, detached ? DETACHED_PROCESS : 0, NULL,
                      NULL, &start, &process)) {
    return 93;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 94;
  GetExitCodeProcess(process.hProcess, &status);
  if (console) fprintf(stderr, "codepage=%u\n", GetConsoleOutputCP());
  return (int)status;
}
