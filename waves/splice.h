// Copies one part file's RIFF chunk, header included, over a container.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Opens dir + part, prints its processing line and writes its wave into the
// container, open unbuffered for update, at offset: the whole wave or, as
// far as it is in this tool's hands, nothing. *size is the container's
// length, kept up to date: a wave that lengthens the container is first
// given its room. Returns false, having said why, when it could not.
bool SpliceWave(std::FILE* container, const std::string& containerPath, std::uint64_t* size,
                const std::string& dir, const std::string& part, std::uint32_t offset);
