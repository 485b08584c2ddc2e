// Directory search by wildcard pattern. On Windows it is the kernel's own
// search; elsewhere find_posix.cpp provides the same names, so the callers
// are one code on both platforms.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using HANDLE = void*;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(-1))  // NOLINT: as windows.h has it

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr int MAX_PATH = 260;

// Only the fields this tool reads.
struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  char cFileName[MAX_PATH];
};

// Names match as wildcard.h says, and the directory part of the pattern
// (up to its last '/') is taken literally. Matches come as ".", "..", then
// in the order of their keys (name_key.h). A search that fails leaves
// errno: ENOENT or ENOTDIR when nothing (more) matched or the folder does
// not exist; ENAMETOOLONG at a match longer than cFileName holds, as
// Windows fails there too; another value when the folder could not be read.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found);
BOOL FindClose(HANDLE search);
#endif
