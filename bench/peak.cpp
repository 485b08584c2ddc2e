// Runs a program and writes its peak resident size in KiB to a file. The
// bench cannot measure that itself: a child's peak counts the pages it
// shared with its parent before exec, and this helper's are few.
// Usage: peak OUT-FILE PROGRAM [ARGUMENTS...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return 1;
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr || std::fprintf(out, "%ld\n", usage.ru_maxrss) < 0 || std::fclose(out) != 0) {
    return 1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
