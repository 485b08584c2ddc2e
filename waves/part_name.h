// The part-file naming scheme, the one format shared with whatever made the
// part files: the container's name, "_", eight hexadecimal digits of the
// offset, ".wav".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What a name the part-file search returned is to wavesplice.
enum class PartName {
  kPart,         // a part file, at the offset decoded
  kWrongLength,  // not 13 bytes longer than the container's: the "cont:" line
  kNoOffset,     // no eight bytes before its last '.' to read an offset from
};

// The one test both programs put a found name to; *offset is set for kPart.
PartName TakePartName(const std::string& name, const std::string& container, std::uint32_t* offset);

// Whether name begins with container and "_", letters in either case
// (platform/name_key.h): the search pattern alone would let a container name
// holding '*' or '?' claim other containers' parts.
bool IsPartFileOf(const std::string& name, const std::string& container);

// The length of container's part-file names: 13 bytes more than its own.
std::size_t PartNameLength(const std::string& container);

// Reads the offset from the eight bytes before the name's last '.': white
// space, a sign, "0x", then hex digits up to the first non-digit; no digits
// give 0, and '-' negates modulo 2^32. Returns false, reading nothing, when
// the name has no '.' or fewer than eight bytes stand before it.
bool DecodePartOffset(std::string_view name, std::uint32_t* offset);

// Whether name ends in ".wav", letters in either case, as part files do.
bool HasWaveExtension(const std::string& name);

// The name of container's part file for offset, digits in lower case.
std::string PartFileName(const std::string& container, std::uint32_t offset);
