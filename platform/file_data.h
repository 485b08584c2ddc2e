// Where a file's bytes are: a sparse file's holes hold no data, only zeros,
// so a search through its bytes may pass over them unread.
#pragma once

#include <cstdint>
#include <cstdio>

// The first offset at or after offset, below size, where file may hold
// data; size when only holes follow. Where the system cannot tell, offset
// itself: every byte is then read.
std::uint64_t NextData(std::FILE* file, std::uint64_t offset, std::uint64_t size);
