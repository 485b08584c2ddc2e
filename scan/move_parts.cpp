#include "scan/move_parts.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/name_key.h"
#include "platform/open_file.h"
#include "platform/path.h"
#include "platform/search.h"
#include "scan/find_waves.h"
#include "scan/move_plan.h"
#include "scan/move_renames.h"
#include "scan/old_version.h"
#include "scan/same_name.h"
#include "scan/wave_bytes.h"
#include "waves/messages.h"
#include "waves/part_name.h"
#include "waves/part_search.h"
#include "waves/reading.h"

namespace {

// Both versions, open, and their waves: the old one's, then the new one's.
struct Versions {
  std::FILE* old = nullptr;
  std::FILE* now = nullptr;
  std::string oldPath;
  std::string name;  // the new one's
  std::vector<WaveKey> waves;
  std::size_t oldCount = 0;
  std::string signature;  // of both versions' waves: where they start, how long
};

// A part file, where its wave went and what becomes of it.
struct Part {
  std::string name;
  std::uint32_t offset = 0;
  Destination where;
  Moving moving;
  std::size_t unit = SIZE_MAX;  // its renames, when it moves
  bool earlier = false;         // an earlier run for these versions moved it here
};

// The two versions, as far as moving parts between them goes: the offsets
// and lengths of their waves, hashed.
std::string Signature(const std::vector<WaveKey>& waves, std::size_t oldCount) {
  std::uint64_t hash = 0xcbf29ce484222325u ^ oldCount;
  for (const WaveKey& wave : waves) {
    for (const std::uint64_t value : {wave.offset, wave.length}) {
      hash = (hash ^ value) * 0x100000001b3u;
      hash ^= hash >> 29;
    }
  }
  return Hex(hash) + " " + std::to_string(oldCount) + " " + std::to_string(waves.size());
}

std::FILE* FileOf(const Versions& versions, std::size_t i) {
  return i < versions.oldCount ? versions.old : versions.now;
}

bool ScanVersion(std::FILE* file, std::uint64_t size, const std::string& path,
                 std::vector<WaveKey>* waves) {
  std::string err;
  const bool read = FindWaves(
      file, size, kScanBlock,
      [waves](std::uint64_t o, std::uint64_t l) {
        waves->push_back({o, l, false, 0});
      },
      &err);
  if (!read) Complain(path, err);
  return read;
}

// The old wave that starts at offset, or null.
const WaveKey* OldWaveAt(const Versions& versions, std::uint64_t offset) {
  const auto end = versions.waves.begin() + static_cast<std::ptrdiff_t>(versions.oldCount);
  const auto at = std::lower_bound(versions.waves.begin(), end, offset,
                                   [](const WaveKey& w, std::uint64_t o) { return w.offset < o; });
  return at != end && at->offset == offset ? &*at : nullptr;
}

// Hashes the waves whose lengths the parts' old waves have, and sorts them
// into classes of identical bytes; false, having said why, when a wave
// could not be read.
bool Classify(const std::vector<Part>& parts, Versions* versions,
              std::vector<std::size_t>* classes) {
  std::set<std::uint64_t> lengths;
  for (const Part& part : parts) {
    if (const WaveKey* wave = OldWaveAt(*versions, part.offset)) lengths.insert(wave->length);
  }
  std::map<std::uint64_t, std::size_t> counts;  // waves of each length needed
  for (const WaveKey& wave : versions->waves) {
    if (lengths.count(wave.length) > 0) ++counts[wave.length];
  }
  for (std::size_t i = 0; i < versions->waves.size(); ++i) {
    WaveKey& wave = versions->waves[i];
    if (lengths.count(wave.length) == 0) continue;
    wave.hashed = true;
    // Two waves of a length are compared byte for byte at once: a hash
    // would read each of them once more.
    if (counts[wave.length] <= 2) continue;
    std::FILE* file = FileOf(*versions, i);
    std::string err;
    if (!HashBytes(file, wave.offset, wave.length, &wave.hash, &err)) {
      Complain(file == versions->old ? versions->oldPath : versions->name, err);
      return false;
    }
  }
  bool read = true;
  *classes = SameBytesClasses(versions->waves, [&](std::size_t a, std::size_t b) {
    const std::vector<WaveKey>& waves = versions->waves;
    bool same = false;
    std::string err;  // the complaint below says what could not be read
    if (SameBytes(FileOf(*versions, a), waves[a].offset, FileOf(*versions, b), waves[b].offset,
                  waves[a].length, &same, &err)) {
      return same;
    }
    read = false;
    return false;
  });
  if (!read) Complain(versions->oldPath, "cannot read its waves and the new ones to compare them");
  return read;
}

std::string Offsets(const std::vector<std::uint64_t>& offsets) {
  std::string text;
  for (const std::uint64_t offset : offsets) text += (text.empty() ? "" : ", ") + Hex(offset);
  return text;
}

// Whether the part's bytes are the old version's wave at its offset.
bool IsOldWave(const std::string& path, const Versions& versions, const WaveKey& wave) {
  std::uint64_t size = 0;
  ReadOnlyFile file;
  bool same = false;
  std::string unread;  // a part that cannot be read is not said to be the wave
  return OpenToRead(path, &file, &size, &unread) && size == wave.length &&
         SameBytes(file.get(), 0, versions.old, wave.offset, wave.length, &same, &unread) && same;
}

std::string GoneWords(const std::string& dir, const Part& part, const Versions& versions) {
  std::string words = "its wave is not in the new " + versions.name + ": it was changed or removed";
  const WaveKey* wave = OldWaveAt(versions, part.offset);
  if (wave != nullptr && IsOldWave(PathIn(dir, part.name), versions, *wave)) {
    words += "; yet it is itself that wave, byte for byte: " + versions.oldPath +
             " may be the copy the parts were spliced into, and the copy from before splicing "
             "is the one needed";
  }
  return words;
}

// Where each part's wave went, and why the parts that stay do.
void Match(const std::string& dir, const Versions& versions,
           const std::vector<std::size_t>& classes, std::vector<Part>* parts) {
  const std::vector<std::string> before = MovedBefore(dir, versions.name, versions.signature);
  std::vector<Spot> old;
  std::vector<Spot> now;
  for (std::size_t i = 0; i < versions.waves.size(); ++i) {
    (i < versions.oldCount ? old : now).push_back({versions.waves[i].offset, classes[i]});
  }
  for (Part& part : *parts) {
    if (std::find(before.begin(), before.end(), part.name) != before.end()) {
      part.where.how = Whereabouts::kStays;  // where an earlier run put it
      part.earlier = true;
      continue;
    }
    part.where = WhereItWent(part.offset, old, now);
    const Destination& where = part.where;
    if (where.how == Whereabouts::kNoOldWave) {
      part.moving = {"", NotMoved::kNoOldWave,
                     "no wave starts at its offset in " + versions.oldPath};
    } else if (where.how == Whereabouts::kGone) {
      part.moving = {"", NotMoved::kGone, GoneWords(dir, part, versions)};
    } else if (where.how == Whereabouts::kAmbiguous) {
      part.moving = {"", NotMoved::kAmbiguous,
                     "its wave is one of " + std::to_string(where.before.size()) +
                         " identical waves in " + versions.oldPath + " (at " +
                         Offsets(where.before) + ") but of " + std::to_string(where.after.size()) +
                         " in the new " + versions.name + " (at " + Offsets(where.after) +
                         "): which of them is its own is not known"};
    } else if (where.how == Whereabouts::kMoved && where.to > UINT32_MAX) {
      part.moving = {"", NotMoved::kBeyond32Bits,
                     "its wave is now at " + Hex(where.to) +
                         ", beyond the 32 bits of offset a part file's name can say"};
    }
  }
}

// The renames of each part that moves, with its .orig when --fit kept one.
std::vector<MoveUnit> Plan(const std::string& dir, const std::string& container,
                           std::vector<Part>* parts) {
  std::vector<MoveUnit> units;
  for (Part& part : *parts) {
    if (part.where.how != Whereabouts::kMoved || part.moving.why != NotMoved::kNo) continue;
    const std::string to = MovedName(part.name, static_cast<std::uint32_t>(part.where.to));
    MoveUnit unit;
    unit.renames.push_back({part.name, to});
    for (const std::string& kept : SameNames(dir, part.name + ".orig")) {
      unit.renames.push_back({kept, to + kept.substr(part.name.size())});
      break;
    }
    part.unit = units.size();
    units.push_back(unit);
  }
  std::set<std::u32string> taken;
  // A search that fails takes no name: each rename then finds its own.
  std::string unsearched;
  SearchFolder(
      PathIn(dir, container + "*"),
      [&taken](const std::string& name, bool /*directory*/) { taken.insert(KeyOf(name)); },
      &unsearched);
  BlockTaken(&units, taken);
  return units;
}

// Makes the renames of the units not blocked; fills in each part's fate.
bool Move(const std::string& dir, const std::string& container, const std::string& signature,
          const std::vector<MoveUnit>& units, std::vector<Part>* parts) {
  std::vector<Rename> renames;
  std::vector<std::size_t> first;  // each unit's first rename in renames
  for (const MoveUnit& unit : units) {
    first.push_back(renames.size());
    if (unit.blockedBy.empty())
      renames.insert(renames.end(), unit.renames.begin(), unit.renames.end());
  }
  std::vector<bool> made;
  const bool done = MakeRenames(dir, container, signature, renames, &made);
  for (Part& part : *parts) {
    if (part.unit == SIZE_MAX) continue;
    const MoveUnit& unit = units[part.unit];
    if (!unit.blockedBy.empty()) {
      part.moving.why = NotMoved::kTargetExists;
      part.moving.words = unit.crowded
                              ? "another part moves to " + unit.blockedBy + " too"
                              : unit.blockedBy + " is taken by a file that is not moving away";
    } else if (made[first[part.unit]]) {
      part.moving.from = part.name;
      part.name = unit.renames.front().to;
    }
  }
  return done;
}

// The lines said of the parts, before the check.
void Say(const std::vector<Part>& parts, const std::vector<MoveUnit>& units, ScanReport* report) {
  for (const Part& part : parts) {
    if (!part.moving.from.empty()) {
      for (const Rename& rename : units[part.unit].renames) {
        report->moved(&report->place, "moved " + Shown(rename.from) + " -> " + Shown(rename.to));
      }
    } else if (part.moving.why != NotMoved::kNo) {
      report->moved(&report->place, "not moved " + Shown(part.name) + ": " + part.moving.words);
    } else if (part.where.how == Whereabouts::kStays) {
      report->moved(&report->place, "stays " + Shown(part.name) +
                                        (part.earlier ? ": moved here by an earlier run" : ""));
    }
  }
}

}  // namespace

namespace {

// The part files as the check takes them: the names of the part-file search
// that are part names, of regular files.
bool ListParts(const std::string& dir, const std::string& container, std::vector<Part>* parts) {
  return ForEachPartFile(dir, container, [&](const std::string& name) {
    Part part;
    part.name = name;
    if (TakePartName(name, container, &part.offset) == PartName::kPart &&
        IsRegularFile(PathIn(dir, name))) {
      parts->push_back(part);
    }
    return true;
  });
}

// Finds where each part's wave went and moves the parts that can be.
bool MoveAll(const std::string& dir, Versions* versions, ScanReport* report,
             std::vector<Part>* parts) {
  std::vector<std::size_t> classes;
  if (!ListParts(dir, versions->name, parts) || !Classify(*parts, versions, &classes)) {
    parts->clear();
    return false;
  }
  Match(dir, *versions, classes, parts);
  const std::vector<MoveUnit> units = Plan(dir, versions->name, parts);
  const bool done = Move(dir, versions->name, versions->signature, units, parts);
  Say(*parts, units, report);
  return done;
}

}  // namespace

bool MoveParts(std::FILE* file, const std::string& dir, const std::string& oldDir,
               ScanReport* report, ContainerSummary* summary, std::map<std::string, Moving>* moves,
               std::vector<WaveKey>* waves) {
  const std::string& container = summary->name;
  std::string found;
  if (!FinishStoppedRun(dir, container, &found)) {
    summary->notMoved = "the renames a run stopped half-way left could not be finished";
    return false;
  }
  if (!found.empty()) {
    summary->recovered = found;
    report->moved(&report->place, Shown(PathIn(dir, container)) + ": " + found);
  }
  Versions versions;
  versions.now = file;
  versions.name = container;
  std::uint64_t oldSize = 0;
  std::string why;
  ReadOnlyFile old;
  const bool opened =
      OpenOldVersion(oldDir, dir, container, &old, &versions.oldPath, &oldSize, &why);
  versions.old = old.get();
  if (!opened) {
    Complain(versions.oldPath, why);
    summary->notMoved = versions.oldPath + ": " + why;
    return false;
  }
  bool done = ScanVersion(versions.old, oldSize, versions.oldPath, &versions.waves);
  versions.oldCount = versions.waves.size();
  if (ScanVersion(file, summary->size, PathIn(dir, container), &versions.waves)) {
    waves->assign(versions.waves.begin() + static_cast<std::ptrdiff_t>(versions.oldCount),
                  versions.waves.end());
  } else {
    done = false;
  }
  versions.signature = Signature(versions.waves, versions.oldCount);
  std::vector<Part> parts;
  if (done && !MoveAll(dir, &versions, report, &parts)) done = false;
  if (!done && summary->notMoved.empty()) summary->notMoved = "not every part could be moved";
  for (const Part& part : parts) {
    (*moves)[part.name] = part.moving;
    if (!part.moving.from.empty()) ++summary->moved;
  }
  return done;
}
