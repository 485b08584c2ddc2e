// Taking a wave out of its container as a new part file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// What became of a wave: not asked to extract it; written to a new part
// file; a part file of its name kept as it was; not written whole; or
// passed over, for a reason said with it.
enum class Extraction { kNotAsked, kWritten, kKept, kFailed, kPassedOver };

// Copies the length bytes at offset of container, in blocks, into a new file
// at path. kKept when a file of that name exists already: it is left as it
// is. kFailed, having said why and given it in *why, when the copy could
// not be made whole: what was written of it is removed.
Extraction ExtractWave(std::FILE* container, const std::string& containerPath, std::uint64_t offset,
                       std::uint64_t length, const std::string& path, std::string* why);
