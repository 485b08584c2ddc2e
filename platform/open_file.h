// Opening files for the two programs: never waiting on a file that is not a
// regular one, and never creating over a file that exists.
#pragma once

#include <cstdio>
#include <string>

// Opens path for reading, binary, if it is a regular file. A FIFO, socket,
// device or directory is refused without being waited on: null with
// *regular false. Null with *regular true: errno says why.
std::FILE* OpenRegularFile(const std::string& path, bool* regular);

// Creates path for writing, binary, only if no file of that name exists:
// null with errno EEXIST when one does. The check and the creation are one
// step, so a file made meanwhile by someone else is never overwritten.
std::FILE* CreateNewFile(const std::string& path);

// Removes a file; false with errno set when it cannot.
bool RemoveFile(const std::string& path);
