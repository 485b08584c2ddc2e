// A console shows what WriteConsoleW gives it as characters. The bytes the C
// library writes to it pass one at a time through the library's locale and
// the console's code page, which spell a UTF-8 name wrong. Files and pipes
// get the bytes, in the C library's text mode.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/output.h"
#include "platform/system_error.h"

namespace {

struct Target {
  std::FILE* file;
  bool absent;     // the process was started without this stream
  HANDLE console;  // null unless the stream is a console
};

Target TargetOf(std::FILE* file) {
  const int fd = _fileno(file);
  // The C library marks a stream the process was started without (by a
  // graphical front end or a detached task) by a descriptor with no handle.
  const intptr_t number = fd < 0 ? -1 : _get_osfhandle(fd);
  // The C library gives handles as numbers.
  const auto handle = reinterpret_cast<HANDLE>(number);  // NOLINT(performance-no-int-to-ptr)
  DWORD mode = 0;
  const bool console = number >= 0 && GetConsoleMode(handle, &mode);
  return {file, number < 0, console ? handle : nullptr};
}

const Target& Of(Stream stream) {
  static const Target output = TargetOf(stdout);
  static const Target error = TargetOf(stderr);
  return stream == Stream::kOutput ? output : error;
}

std::string lost;  // why standard output first lost text

bool ToConsole(HANDLE console, std::string_view text) {
  // Names come in the process's code page: UTF-8 where the manifest holds.
  const int size =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  std::wstring lines;
  lines.reserve(wide.size() + wide.size() / 16);
  for (const wchar_t c : wide) {
    if (c == L'\n') lines += L'\r';  // a console starts a line at its carriage return
    lines += c;
  }
  for (std::size_t at = 0; at < lines.size();) {
    DWORD wrote = 0;
    if (!WriteConsoleW(console, lines.data() + at, static_cast<DWORD>(lines.size() - at), &wrote,
                       nullptr) ||
        wrote == 0) {
      return false;
    }
    at += wrote;
  }
  return true;
}

// Why a write of the C library just failed, with _doserrno cleared before
// it: the Windows error behind the failure, if there was one. The library
// knows no closed pipe: it says "Invalid argument" for the errors Windows
// gives there.
std::string WriteFailure() {
  const unsigned long error = _doserrno;
  const bool closed =
      error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
  return std::strerror(closed ? EPIPE : errno);
}

void Keep(const Target& target, bool written) {
  if (written || target.file != stdout || !lost.empty()) return;
  lost = target.console != nullptr ? SystemMessage(GetLastError()) : WriteFailure();
}

void Flush() {
  _doserrno = 0;
  Keep(Of(Stream::kOutput), std::fflush(stdout) == 0);
}

}  // namespace

void Print(Stream stream, std::string_view text) {
  if (stream == Stream::kError) Flush();
  const Target& target = Of(stream);
  if (target.console != nullptr) {
    Keep(target, ToConsole(target.console, text));
    return;
  }
  _doserrno = 0;
  Keep(target, std::fwrite(text.data(), 1, text.size(), target.file) == text.size());
  // The C library may buffer standard error too when it is a file; a
  // message must reach it before the next line of output does.
  if (stream == Stream::kError) std::fflush(target.file);
}

bool EndOutput(std::string* err) {
  Flush();
  if (Of(Stream::kOutput).absent || lost.empty()) return true;
  *err = lost;
  return false;
}
