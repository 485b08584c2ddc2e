#include "waves/messages.h"

#include <cerrno>
#include <charconv>
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
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  const auto count = static_cast<std::size_t>(end - digits);
  return std::string(count < 8 ? 8 - count : 0, '0').append(digits, count);
}

bool FinishOutput() {
  const std::string why = EndOutput();
  if (why.empty()) return true;
  Complain("standard output", "cannot write: " + why);
  return false;
}
