// The renames that move part files to their waves' new offsets, as plain
// values: which can be made without replacing a file, and the names they
// pass through.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct Rename {
  std::string from;
  std::string to;
};

// The renames of one part: itself, and the .orig --fit kept of it. All of
// them are made, or none.
struct MoveUnit {
  std::vector<Rename> renames;
  std::string blockedBy;  // a name in its way, when it is not moved
  bool crowded = false;   // that name is another unit's target too
};

// The part's name with offset in place of its eight digits, the rest
// spelt as it is, letter case included.
std::string MovedName(const std::string& part, std::uint32_t offset);

// The name a file has between its two renames, so that chains and cycles
// of moves never need a name that is still taken.
std::string MovingName(const std::string& name);

// Blocks each unit with a target that another unit also takes, or that
// is in taken (the folder's names, each as name_key.h's KeyOf) and is not
// the name of a file moving away, or whose moving name is in taken; a
// blocked unit's files stay, so the units whose targets they hold are
// blocked in turn.
void BlockTaken(std::vector<MoveUnit>* units, const std::set<std::u32string>& taken);
