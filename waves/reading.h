// Reading any file the programs take, a container or a part: opened only if
// it is a regular file, and a short read told from a failed one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// Closes a file opened for reading only when its owner goes out of scope:
// nothing can be lost at such a close, so its result is not asked. A file
// written to is closed by hand, and its close checked.
struct CloseReadOnly {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using ReadOnlyFile = std::unique_ptr<std::FILE, CloseReadOnly>;

// What a read cut short by the end of a file says of it, where nothing
// else is known: the file was longer when its size was taken.
inline constexpr char kShrank[] = "file shrank while being read";

// Opens path for reading, binary, if it is a regular file, with its size:
// false with "cannot open: " and the system's reason, or that it is not a
// regular file. Never waits on a FIFO or a device.
bool OpenToRead(const std::string& path, ReadOnlyFile* file, std::uint64_t* size, std::string* err);

// Reads count bytes at position of file into bytes: false with "cannot
// read: " and the system's reason, or shortBy when the file ended first.
bool ReadAt(std::FILE* file, std::uint64_t position, unsigned char* bytes, std::size_t count,
            const char* shortBy, std::string* err);

// Right after an fread of file came up short: false, with why in ReadAt's
// words.
bool ReadFailed(std::FILE* file, const char* shortBy, std::string* err);
