// Which file a name leads to, so that two names of one file (a hard or
// symbolic link) are told apart from two files.
#pragma once

#include <cstdint>
#include <string>

// The file's device and inode, or on Windows its volume's serial number and
// its index on that volume: equal for every name of one file.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
};

inline bool operator==(const FileIdentity& a, const FileIdentity& b) {
  return a.volume == b.volume && a.index == b.index;
}

// False when path leads to no file that can be asked (missing, or no
// permission to look): such a name shares its file with no other.
bool IdentifyFile(const std::string& path, FileIdentity* identity);
