// Writing into an existing file at an offset: room first, then the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Makes sure the bytes from offset to offset + length of a regular file can
// then be written without failing for want of room: past the process's
// file-size limit they are refused; with allocate (they pass the file's
// end, or it may have holes) they are allocated, lengthening the file where
// it is shorter. False with the system's reason when there is no room, and
// the file keeps the length it had.
bool MakeRoom(std::FILE* file, std::uint64_t offset, std::uint64_t length, bool allocate,
              std::string* err);

// Writes count bytes at offset of a stream opened unbuffered for update;
// false with the system's reason when they could not all be written.
bool WriteAt(std::FILE* file, std::uint64_t offset, const unsigned char* bytes, std::size_t count,
             std::string* err);
