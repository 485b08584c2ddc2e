#include "waves/messages.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/output.h"
#include "platform/process.h"

namespace {

const char* program = "";

}  // namespace

bool StartProgram(const char* name) {
  program = name;
  if (PrepareProcess()) return true;
  Complain("standard streams", "cannot open the null device in place of a closed one", errno);
  return false;
}

void Complain(const std::string& path, const std::string& what, int error) {
  const std::string message = error != 0 ? Reason(what, error) : what;
  Print(Stream::kError, std::string(program) + ": " + path + ": " + message + "\n");
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
  const std::string why = EndOutput();
  if (why.empty()) return true;
  Complain("standard output", "cannot write: " + why);
  return false;
}
