// Loaded with LD_PRELOAD into a program under test: before the SAVE_AT-th
// call on a file whose path holds SAVE_NAME (opened, looked at, linked or
// renamed), renames SAVE_FROM over SAVE_TO, as a sound editor saves a file
// while the program works on it. Counting only those calls, the same count
// lands at the same step whatever else the program or Wine opens.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <typename Call>
Call Real(const char* name) {
  return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

// Called before each call on path; saves when its turn comes.
void Step(const char* path) {
  const char* name = std::getenv("SAVE_NAME");
  const char* at = std::getenv("SAVE_AT");
  if (name == nullptr || at == nullptr || path == nullptr || std::strstr(path, name) == nullptr) {
    return;
  }
  static long calls = 0;
  if (++calls != std::atol(at)) return;
  using Rename = int (*)(const char*, const char*);
  Real<Rename>("rename")(std::getenv("SAVE_FROM"), std::getenv("SAVE_TO"));
}

mode_t ModeOf(int flags, std::va_list rest) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(rest, int)) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  std::va_list rest;
  va_start(rest, flags);
  const mode_t mode = ModeOf(flags, rest);
  va_end(rest);
  Step(path);
  return Real<int (*)(const char*, int, mode_t)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  std::va_list rest;
  va_start(rest, flags);
  const mode_t mode = ModeOf(flags, rest);
  va_end(rest);
  Step(path);
  return Real<int (*)(const char*, int, mode_t)>("open64")(path, flags, mode);
}

// What a build with _FORTIFY_SOURCE calls for an open whose flags are not
// known when it is compiled and that passes no mode, as Debian's builds are.
int __open_2(const char* path, int flags) {
  Step(path);
  return Real<int (*)(const char*, int)>("__open_2")(path, flags);
}

int __open64_2(const char* path, int flags) {
  Step(path);
  return Real<int (*)(const char*, int)>("__open64_2")(path, flags);
}

int openat(int dir, const char* path, int flags, ...) {
  std::va_list rest;
  va_start(rest, flags);
  const mode_t mode = ModeOf(flags, rest);
  va_end(rest);
  Step(path);
  return Real<int (*)(int, const char*, int, mode_t)>("openat")(dir, path, flags, mode);
}

int stat(const char* path, struct stat* info) {
  Step(path);
  return Real<int (*)(const char*, struct stat*)>("stat")(path, info);
}

int lstat(const char* path, struct stat* info) {
  Step(path);
  return Real<int (*)(const char*, struct stat*)>("lstat")(path, info);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
  Step(to);
  return Real<int (*)(int, const char*, int, const char*, int)>("linkat")(fromDir, from, toDir, to,
                                                                          flags);
}

int rename(const char* from, const char* to) {
  Step(to);
  return Real<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  Step(to);
  return Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(fromDir, from,
                                                                                  toDir, to, flags);
}

}  // extern "C"
