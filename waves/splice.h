// Copies one part file's RIFF chunk, header included, over a container.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A container open for update, as the splices of one pass share it.
struct OpenContainer {
  std::FILE* file = nullptr;  // unbuffered: each wave is written in one request
  std::string path;
  std::uint64_t size = 0;  // kept up to date as waves lengthen it
  bool holes = false;      // it may have holes, where a write needs room first
};

// Opens dir + part, prints its processing line and writes its wave into the
// container at offset: the whole wave or, as far as it is in this tool's
// hands, nothing. A wave that lengthens the container, or lands where it
// may have holes, is first given its room. Returns false, having said why,
// when it could not.
bool SpliceWave(OpenContainer* container, const std::string& dir, const std::string& part,
                std::uint32_t offset);
