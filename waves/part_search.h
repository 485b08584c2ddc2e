// One pass over one container: finds its part files, takes the offset from
// each name, and splices each part in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Opens dir + container for update and splices in every part file found in
// dir. Returns false when anything could not be done; the pass still goes on
// with the next part file.
bool ReplaceWaves(const std::string& dir, const std::string& container);

// Calls take with the bare name of each file in dir that the part-file
// search finds for container and that IsPartFileOf accepts, in search
// order. Returns false when any call did.
bool ForEachPartFile(const std::string& dir, const std::string& container,
                     const std::function<bool(const std::string& name)>& take);

// Part-file names are the container's name, "_", eight hex digits of the
// offset and ".wav". Whether name begins with container and "_", ASCII
// letters either case: the search pattern alone would let a container name
// holding '*' or '?' claim other containers' parts.
bool IsPartFileOf(const std::string& name, const std::string& container);

// The length of container's part-file names: 13 bytes more than its own.
std::size_t PartNameLength(const std::string& container);

// Reads the offset from the eight bytes before the name's last '.': white
// space, a sign, "0x", then hex digits up to the first non-digit; no digits
// give 0, and '-' negates modulo 2^32. Returns false, reading nothing, when
// the name has no '.' or fewer than eight bytes stand before it.
bool DecodePartOffset(std::string_view name, std::uint32_t* offset);
