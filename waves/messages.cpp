#include "waves/messages.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/console.h"
#include "platform/process.h"

namespace {

const char* program = "";

}  // namespace

bool StartProgram(const char* name) {
  program = name;
  PrepareConsole();
  if (PrepareProcess()) return true;
  Complain("standard streams", "cannot open the null device in place of a closed one", errno);
  return false;
}

void Complain(const std::string& path, const std::string& what, int error) {
  std::fflush(stdout);
  const std::string message = error != 0 ? Reason(what, error) : what;
  std::fprintf(stderr, "%s: %s: %s\n", program, path.c_str(), message.c_str());
}

std::string Reason(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%08" PRIx64, value);
  return text;
}

bool FinishOutput() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  if (OutputGoesNowhere()) return true;
  Complain("standard output", "cannot write", errno);
  return false;
}
