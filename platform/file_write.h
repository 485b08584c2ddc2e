// Writing into an existing file at an offset: room first, then the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Allocates the bytes from offset to offset + length of a regular file,
// lengthening it where it is shorter, so that writing them cannot then fail
// for want of disk space or past a file-size limit. Returns "" when done
// (or when the file is a device, which has no length); else the system's
// reason, and the file keeps the length it had.
std::string ReserveBytes(std::FILE* file, std::uint64_t offset, std::uint64_t length);

// Writes count bytes at offset of a stream opened unbuffered for update;
// false with errno set when they could not all be written.
bool WriteAt(std::FILE* file, std::uint64_t offset, const unsigned char* bytes, std::size_t count);
