// 64-bit positioning, so every offset a part-file name can give is reached.
#pragma once

#include <cstdint>
#include <cstdio>

// Both return false with errno set by the failed call. The size is the
// one the file system gives, without moving the stream.
bool SeekTo(std::FILE* file, std::uint64_t position);
bool FileSize(std::FILE* file, std::uint64_t* size);
