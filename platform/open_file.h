// Opening files for the two programs: never waiting on a file that is not a
// regular one, and never creating over a file that exists.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// What the programs say of a file that is not a regular one.
inline constexpr char kNotAFile[] = "a folder or a device, not a file";

// Opens path for reading, binary, if it is a regular file, and gives the
// open file and its size. A FIFO, socket, device or folder is refused
// without being waited on: false with *regular false and *err kNotAFile.
// Otherwise false with *regular true: the system's reason, or that another
// program holds the file.
bool OpenRegularFile(const std::string& path, std::FILE** file, std::uint64_t* size, bool* regular,
                     std::string* err);

// Opens path for reading and writing, binary and unbuffered, if it is a
// regular file, with its size and whether it may have holes, which take
// disk space only when written. A FIFO, socket, device or folder is refused
// without being opened for writing: false with *regular false and *err
// kNotAFile. Otherwise false with *regular true: the system's reason, that
// another program holds the file, or that its Read-only attribute is set
// (which Windows users set in Explorer).
bool OpenForUpdate(const std::string& path, std::FILE** file, std::uint64_t* size, bool* holes,
                   bool* regular, std::string* err);

// Creates path for writing, binary, only if no file of that name exists:
// false with *exists true when one does. The check and the creation are one
// step, so a file made meanwhile by someone else is never overwritten.
bool CreateNewFile(const std::string& path, std::FILE** file, bool* exists, std::string* err);

// Removes a file.
bool RemoveFile(const std::string& path, std::string* err);

// Gives the file at from a second name, to, when the file system can: no
// byte is copied. kExists when a file has that name already; kCannot where
// the file system has no second names, or will not make this one: the
// caller then copies the file, and the copy's failure is the one said.
enum class Linked { kDone, kExists, kCannot };
Linked LinkFile(const std::string& from, const std::string& to);

// Gives the file at from the name to only if no file has that name ("File
// exists" when one does), from left as it was.
bool RenameNew(const std::string& from, const std::string& to, std::string* err);

// Gives the file open as to the permissions of the file at from, so that a
// file written in another's place is no more open than it was.
bool KeepMode(const std::string& from, std::FILE* to, std::string* err);

// Brings what was written to file onto the disk, so that a file renamed into
// place after it holds its bytes even after a crash.
bool SyncFile(std::FILE* file, std::string* err);

// Gives the file at from the name to, in place of the file there, in one
// step: at every moment one whole file has the name.
bool RenameOver(const std::string& from, const std::string& to, std::string* err);

// Whether path is a folder: false with why not, the system's reason or that
// it is not one.
bool IsFolder(const std::string& path, std::string* err);

// Whether path is a regular file, asked without opening it: a question, not
// a call that fails, as no answer leaves it a regular file.
bool IsRegularFile(const std::string& path);

// Whether the file at path could be replaced by another file or removed,
// asked without changing it: false with why not (on Windows, another
// program holds it open and lets no one move it).
bool CanReplace(const std::string& path, std::string* err);

// Whether path could be opened for update, asked without opening it: false
// with why not, in OpenForUpdate's words.
bool CanWrite(const std::string& path, std::string* err);
