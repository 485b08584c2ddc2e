// Opening files for the two programs: never waiting on a file that is not a
// regular one, and never creating over a file that exists.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// What the programs say of a file that is not a regular one.
inline constexpr char kNotAFile[] = "a folder or a device, not a file";

// Opens path for reading, binary, if it is a regular file, and gives its
// size. A FIFO, socket, device or folder is refused without being waited
// on: null with *regular false. Null with *regular true: OpenFailure says
// why.
std::FILE* OpenRegularFile(const std::string& path, std::uint64_t* size, bool* regular);

// Opens path for reading and writing, binary and unbuffered, if it is a
// regular file, with its size and whether it may have holes, which take
// disk space only when written. A FIFO, socket, device or folder is refused
// without being opened for writing: null with *regular false. Null with
// *regular true: OpenFailure says why.
std::FILE* OpenForUpdate(const std::string& path, std::uint64_t* size, bool* holes, bool* regular);

// Creates path for writing, binary, only if no file of that name exists:
// null with errno EEXIST when one does. The check and the creation are one
// step, so a file made meanwhile by someone else is never overwritten.
std::FILE* CreateNewFile(const std::string& path);

// Removes a file; false with errno set when it cannot.
bool RemoveFile(const std::string& path);

// Gives the file at from a second name, to, when the file system can: no
// byte is copied. kExists when a file has that name already.
enum class Linked { kDone, kExists, kCannot };
Linked LinkFile(const std::string& from, const std::string& to);

// Gives the file at from the name to only if no file has that name: false
// with *why otherwise ("File exists" when one does), from left as it was.
bool RenameNew(const std::string& from, const std::string& to, std::string* why);

// Gives the file open as to the permissions of the file at from, so that a
// file written in another's place is no more open than it was. False with
// errno set when it cannot.
bool KeepMode(const std::string& from, std::FILE* to);

// Brings what was written to file onto the disk, so that a file renamed into
// place after it holds its bytes even after a crash; false with errno set.
bool SyncFile(std::FILE* file);

// Gives the file at from the name to, in place of the file there, in one
// step: at every moment one whole file has the name. false with *why.
bool RenameOver(const std::string& from, const std::string& to, std::string* why);

// "" when path is a folder; else why not: the system's reason, or that it
// is not one.
std::string NotAFolder(const std::string& path);

// Whether path is a regular file, asked without opening it.
bool IsRegularFile(const std::string& path);

// Right after an open of path failed: why, in the system's words; or that
// another program holds the file; or, when it was opened for writing, that
// its Read-only attribute is set (which Windows users set in Explorer).
std::string OpenFailure(const std::string& path, bool writing);

// Whether the file at path could be replaced by another file or removed,
// asked without changing it: "" when it could, else why not (on Windows,
// another program holds it open and lets no one move it).
std::string CannotReplace(const std::string& path);

// Whether path could be opened for update, asked without opening it: ""
// when it could, else why not, in OpenFailure's words.
std::string CannotWrite(const std::string& path);
