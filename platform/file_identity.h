// Which file a name leads to, so that two names of one file (a hard or
// symbolic link) are told apart from two files, and whether a file is still
// as it was read.
#pragma once

#include <cstdint>
#include <cstdio>
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
// permission to look): such a name shares its file with no other. These
// two are questions, not calls that fail: no answer is an answer.
bool IdentifyFile(const std::string& path, FileIdentity* identity);

// The file a name itself is, when it may be a second name (a hard link) of
// another: false for a symbolic link, which is not followed, a folder,
// nothing, or a file known to have this name alone.
bool IdentifySecondName(const std::string& path, FileIdentity* identity);

// A file as it was at one moment: which file, how long, when last written,
// in the system's finest unit. Another version of it, or another file under
// the name, differs in one of them.
struct FileVersion {
  FileIdentity identity;
  std::uint64_t size = 0;
  std::int64_t written = 0;
};

inline bool operator==(const FileVersion& a, const FileVersion& b) {
  return a.identity == b.identity && a.size == b.size && a.written == b.written;
}

// The version of an open file, or of the file path leads to; false with the
// system's reason when it cannot be asked.
bool VersionOfOpenFile(std::FILE* file, FileVersion* version, std::string* err);
bool VersionOfFile(const std::string& path, FileVersion* version, std::string* err);
