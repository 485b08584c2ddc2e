// 64-bit positioning, so every offset a part-file name can give is reached.
#pragma once

#include <cstdint>
#include <cstdio>

// False with errno set by the failed call.
bool SeekTo(std::FILE* file, std::uint64_t position);
