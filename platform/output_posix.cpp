#include <cerrno>
#include <cstdio>

#include "platform/output.h"
#include "platform/system_error.h"

namespace {

int lost = 0;  // why standard output first lost text: an errno value

void Keep(bool written) {
  if (!written && lost == 0) lost = errno != 0 ? errno : EIO;
}

}  // namespace

void Print(Stream stream, std::string_view text) {
  if (stream == Stream::kError) {
    Keep(std::fflush(stdout) == 0);
    std::fwrite(text.data(), 1, text.size(), stderr);
    return;
  }
  Keep(std::fwrite(text.data(), 1, text.size(), stdout) == text.size());
}

bool EndOutput(std::string* err) {
  Keep(std::fflush(stdout) == 0);
  if (lost == 0) return true;
  *err = SystemMessage(static_cast<unsigned long>(lost));
  return false;
}
