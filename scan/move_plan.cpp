#include "scan/move_plan.h"

#include <map>

#include "platform/name_key.h"
#include "waves/messages.h"

std::string MovedName(const std::string& part, std::uint32_t offset) {
  // Part names end in the eight digits and ".wav".
  constexpr std::size_t kFromEnd = 12;
  return part.substr(0, part.size() - kFromEnd) + Hex(offset) +
         part.substr(part.size() - kFromEnd + 8);
}

std::string MovingName(const std::string& name) { return name + ".moving"; }

namespace {

// The first reason the unit cannot move while the others stay as they are:
// true, having set blockedBy, when it cannot.
bool Blocked(MoveUnit* unit, const std::set<std::u32string>& taken,
             const std::set<std::u32string>& leaving,
             const std::map<std::u32string, int>& arriving) {
  for (const Rename& rename : unit->renames) {
    const std::u32string to = KeyOf(rename.to);
    if (arriving.at(to) > 1) {
      unit->blockedBy = rename.to;
      unit->crowded = true;
      return true;
    }
    if (taken.count(to) > 0 && leaving.count(to) == 0) {
      unit->blockedBy = rename.to;
      return true;
    }
    if (taken.count(KeyOf(MovingName(rename.from))) > 0) {
      unit->blockedBy = MovingName(rename.from);
      return true;
    }
  }
  return false;
}

}  // namespace

void BlockTaken(std::vector<MoveUnit>* units, const std::set<std::u32string>& taken) {
  for (bool changed = true; changed;) {
    changed = false;
    std::set<std::u32string> leaving;
    std::map<std::u32string, int> arriving;
    for (const MoveUnit& unit : *units) {
      if (!unit.blockedBy.empty()) continue;
      for (const Rename& rename : unit.renames) {
        leaving.insert(KeyOf(rename.from));
        ++arriving[KeyOf(rename.to)];
      }
    }
    for (MoveUnit& unit : *units) {
      if (unit.blockedBy.empty() && Blocked(&unit, taken, leaving, arriving)) changed = true;
    }
  }
}
