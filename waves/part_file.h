// Reading a part file as wavesplice takes it, shared by the splice and by
// wavescan's check, so that both refuse the same files for the same reasons.
// Each returns false, or null, with the reason in *why.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Opens path for reading; a file that is not a regular file is refused
// without waiting on it.
std::FILE* OpenToRead(const std::string& path, std::string* why);

// ReadWaveLength (splice.h) with its refusal in words.
bool ReadPartLength(std::FILE* part, std::uint32_t* length, std::string* why);

// Whether the file holds its whole wave, judged by the file's size.
bool PartHoldsWave(std::FILE* part, std::uint32_t length, std::string* why);

// Why a read came up short: the system's reason, or shortBy when the file
// simply ended.
std::string ReadFailure(std::FILE* file, const char* shortBy);
