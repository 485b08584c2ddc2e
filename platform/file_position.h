// 64-bit positioning, so every offset a part-file name can give is reached.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

bool SeekTo(std::FILE* file, std::uint64_t position, std::string* err);
