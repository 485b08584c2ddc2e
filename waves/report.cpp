#include "waves/report.h"

#include <cerrno>
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

bool FinishOutput() {
  const std::string why = EndOutput();
  if (why.empty()) return true;
  Complain("standard output", "cannot write: " + why);
  return false;
}

std::string Hex8(std::uint64_t value) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%08llx", static_cast<unsigned long long>(value));
  return digits;
}
