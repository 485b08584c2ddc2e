// What a run needs of the process it was started in, whatever that was.
#pragma once

#include <string>

// Call first. A closed standard stream is opened on the null device: a
// file the program opens could otherwise take its descriptor and receive
// its messages. A reader that goes away or a file-size limit makes a write
// fail instead of ending the run, so every part is still handled and the
// failure is said. False, with the system's reason, when a closed stream
// could not be covered: the run must not go on.
bool PrepareProcess(std::string* err);
