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

// Opens path for reading, binary, if it is a regular file, with its size;
// null with *why otherwise. Never waits on a FIFO or a device.
ReadOnlyFile OpenToRead(const std::string& path, std::uint64_t* size, std::string* why);

// Reads count bytes at position of file into bytes: false when they could
// not all be read (ReadFailure says why).
bool ReadAt(std::FILE* file, std::uint64_t position, unsigned char* bytes, std::size_t count);

// Why a read came up short: the system's reason, or shortBy when the file
// simply ended.
std::string ReadFailure(std::FILE* file, const char* shortBy);
