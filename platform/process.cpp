#include "platform/process.h"

#ifdef _WIN32
// The C library marks a stream the process was started without by a
// descriptor with no handle, and never hands descriptors 0 to 2 to a file
// the program opens: only the failing writes need answering (output.h).
// Reopening such a stream is not done the same way by every C library, so
// it is left as it is.
bool PrepareProcess() { return true; }
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
