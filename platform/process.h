// What a run needs of the process it was started in, whatever that was.
#pragma once

// Call first. A closed standard stream is opened on the null device: a
// file the program opens could otherwise take its descriptor and receive
// its messages. A reader that goes away or a file-size limit makes a write
// fail instead of ending the run, so every part is still handled and the
// failure is said. False, with errno set, when a closed stream could not be
// covered: the run must not go on.
bool PrepareProcess();

// Whether the process was started without a standard output at all (on
// Windows, by a graphical front end or a detached task): what is written to
// it then has nowhere to go, which is no failure of the run.
bool OutputGoesNowhere();
