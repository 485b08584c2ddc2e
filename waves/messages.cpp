#include "waves/messages.h"

#include <algorithm>
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
  std::string err;
  if (PrepareProcess(&err)) return true;
  Complain("standard streams", "cannot open the null device in place of a closed one: " + err);
  return false;
}

void Complain(const std::string& path, const std::string& what, int error) {
  const std::string message = error != 0 ? Reason(what, error) : what;
  // A message may name other files too (a kept copy, a part written).
  Print(Stream::kError, std::string(program) + ": " + Shown(path) + ": " + Shown(message) + "\n");
}

std::string Shown(const std::string& name) {
  const auto control = [](unsigned char c) { return c < 0x20 || c == 0x7f; };
  if (std::none_of(name.begin(), name.end(), control)) return name;
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (!control(byte)) {
      shown += c;
    } else if (c == '\n' || c == '\r' || c == '\t') {
      shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
    } else {
      const char digits[] = "0123456789abcdef";
      shown.append("\\x").append(1, digits[byte >> 4]).append(1, digits[byte & 15]);
    }
  }
  return shown;
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
  std::string err;
  if (EndOutput(&err)) return true;
  Complain("standard output", "cannot write: " + err);
  return false;
}
