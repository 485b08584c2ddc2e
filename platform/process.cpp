#include "platform/process.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>

namespace {

// The runtime marks a stream the process was started without (a graphical
// front end, a detached task) by a descriptor with no handle; its writes
// fail. The runtime's own descriptors 0 to 2 are never handed to a file the
// program opens, so only the failure needs mending here.
bool Absent(std::FILE* stream) {
  const int fd = _fileno(stream);
  return fd < 0 || _get_osfhandle(fd) < 0;
}

}  // namespace

bool PrepareProcess() {
  if (Absent(stdin) && std::freopen("NUL", "r", stdin) == nullptr) return false;
  if (Absent(stdout) && std::freopen("NUL", "w", stdout) == nullptr) return false;
  if (Absent(stderr) && std::freopen("NUL", "w", stderr) == nullptr) return false;
  return true;
}
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

bool PrepareProcess() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor is the one just found closed.
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened != fd) {
      if (opened >= 0) close(opened);
      return false;
    }
  }
  return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR && std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
}
#endif
