// The console the programs write to, on each platform.
#pragma once

// Called first thing in each program. On Windows, while the program runs
// with a console on standard output or standard error, that console shows
// the UTF-8 bytes the program prints as the names they spell; its own code
// page is put back however the program ends. Output to a pipe or a file is
// left alone, and so is every console elsewhere.
void PrepareConsole();
