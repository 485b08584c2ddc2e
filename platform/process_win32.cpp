#include "platform/process.h"

// The C library marks a stream the process was started without by a
// descriptor with no handle, and never hands descriptors 0 to 2 to a file
// the program opens: only the failing writes need answering (output.h).
// Reopening such a stream is not done the same way by every C library, so
// it is left as it is.
bool PrepareProcess(std::string* /*err*/) { return true; }
