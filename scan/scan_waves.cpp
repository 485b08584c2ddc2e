#include "scan/scan_waves.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/open_file.h"
#include "platform/path.h"
#include "platform/search.h"
#include "scan/chunks.h"
#include "scan/extract.h"
#include "scan/find_parts.h"
#include "scan/find_waves.h"
#include "scan/fit_parts.h"
#include "scan/judge.h"
#include "scan/move_parts.h"
#include "scan/place_parts.h"
#include "scan/same_name.h"
#include "waves/messages.h"
#include "waves/part_file.h"
#include "waves/part_name.h"
#include "waves/reading.h"

namespace {

// The container whose part file this container is, named as the part-file
// search would take it, or "".
std::string OwnerOf(const std::string& dir, const std::string& container) {
  const std::size_t suffix = PartNameLength("");
  if (container.size() <= suffix) return "";
  const std::string owner = container.substr(0, container.size() - suffix);
  for (const std::string& name : SameNames(dir, owner)) {
    std::uint32_t offset = 0;
    if (IsPartFileOf(container, name) && HasWaveExtension(container) &&
        TakePartName(container, name, &offset) == PartName::kPart) {
      return name;
    }
  }
  return "";
}

// Why no wave of this container is extracted at all, or "": a copy could
// only ever be spliced back over an edit of the file it came from.
std::string NeverExtracted(const std::string& dir, const std::string& container,
                           const RunFiles& files) {
  const std::string owner = OwnerOf(dir, container);
  if (!owner.empty()) return container + " is itself a part file of " + owner;
  // Another name of this file came earlier in the run and had its waves
  // extracted: a second set of part files would undo the edits of the first.
  const std::vector<std::string> names = ContainersItIs(files, dir, container);
  if (names.empty() || names.front() == container) return "";
  return container + " is the same file as " + names.front() + ", extracted under that name";
}

// What the walk over one container's waves carries from wave to wave.
struct Walk {
  std::string dir;
  std::FILE* file = nullptr;
  bool extract = false;
  std::string never;  // why none of its waves is extracted, or ""
  ContainerSummary* summary = nullptr;
  ScanReport* report = nullptr;
  bool done = true;
  // The parts wavesplice takes, by offset (then search order), and where
  // each falls among the waves met so far.
  std::vector<PartFinding>* parts = nullptr;
  std::vector<std::size_t> sorted;
  std::vector<Span> spots;
  std::vector<Place> places;
  std::size_t passed = 0;
  // The first wave of a file named .wav that holds more: whether it is the
  // whole of a wave file or one of several is known only at the next wave.
  bool holding = false;
  WaveFinding held;
  const PartFinding* heldPart = nullptr;
};

// Whether the wave is passed over, and why: no part file could name it
// (said with or without --extract), or, asked to extract, none of the
// container's waves is, or it is all of a wave file (alone).
bool PassedOver(const Walk& walk, bool alone, WaveFinding* wave) {
  if (wave->offset > UINT32_MAX || wave->length > UINT32_MAX) {
    wave->why = "no part file can name it: beyond 32 bits";
  } else if (walk.extract && !walk.never.empty()) {
    wave->why = "not extracted: " + walk.never;
  } else if (walk.extract && alone) {
    wave->why = "not extracted: " + walk.summary->name + " is itself a wave file; edit it directly";
  } else {
    return false;
  }
  wave->extraction = Extraction::kPassedOver;
  return true;
}

// Writes the wave to its part file, under a name a search returns, or
// keeps the part already at its offset (existing, or null).
void Extract(Walk* walk, WaveFinding* wave, const PartFinding* existing) {
  if (existing != nullptr) {
    wave->extraction = Extraction::kKept;
    wave->partName = existing->name;
    return;
  }
  const std::string& container = walk->summary->name;
  wave->partName = PartFileName(container, static_cast<std::uint32_t>(wave->offset));
  if (wave->partName.size() > kLongestName) {
    // Neither program could find it again.
    wave->extraction = Extraction::kFailed;
    wave->why = "not created: its name would have " + std::to_string(wave->partName.size()) +
                " bytes, more than the " + std::to_string(kLongestName) +
                " a search returns, so neither program could find it";
    Complain(PathIn(walk->dir, wave->partName), wave->why);
    return;
  }
  wave->extraction = ExtractWave(walk->file, PathIn(walk->dir, container), wave->offset,
                                 wave->length, PathIn(walk->dir, wave->partName), &wave->why);
}

// Decides what becomes of the wave, with the part already at its offset
// (or null): passed over, kept, or extracted when asked; counts and
// reports it. alone: it is all of a wave file.
void Settle(Walk* walk, WaveFinding* wave, const PartFinding* existing, bool alone) {
  if (!PassedOver(*walk, alone, wave) && walk->extract) Extract(walk, wave, existing);
  if (wave->extraction == Extraction::kWritten) ++walk->summary->extracted;
  if (wave->extraction == Extraction::kFailed) {
    ++walk->summary->failed;
    walk->done = false;
  }
  walk->report->wave(&walk->report->place, *wave);
}

void Meet(Walk* walk, std::uint64_t offset, std::uint64_t length) {
  ContainerSummary& summary = *walk->summary;
  ++summary.waves;
  WaveFinding wave;
  wave.offset = offset;
  wave.length = length;
  std::string err;
  wave.chunksRead = ReadChunks(walk->file, offset, length, &wave.chunks, kShrank, &err);
  if (!wave.chunksRead) {
    Complain(PathIn(walk->dir, summary.name), err);
    walk->done = false;
  }
  const std::size_t first = PlaceWave(walk->spots, offset, length, &walk->passed, &walk->places);
  for (std::size_t i = first; i < walk->spots.size() && walk->spots[i].offset == offset; ++i) {
    (*walk->parts)[walk->sorted[i]].wave = wave.chunks;
  }
  const PartFinding* existing =
      first < walk->sorted.size() ? &(*walk->parts)[walk->sorted[first]] : nullptr;
  if (walk->holding) {
    walk->holding = false;
    Settle(walk, &walk->held, walk->heldPart, false);
  }
  if (offset == 0 && length < summary.size && HasWaveExtension(summary.name)) {
    walk->holding = true;
    walk->held = wave;
    walk->heldPart = existing;
    return;
  }
  Settle(walk, &wave, existing, offset == 0 && length == summary.size);
}

// Reports each part, as judged, and counts it.
void ReportParts(const std::vector<PartFinding>& parts, const std::vector<Judgement>& judgements,
                 ScanReport* report, ContainerSummary* summary) {
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Judgement& judgement = judgements[i];
    ++summary->parts;
    if (judgement.verdict == Verdict::kSkipped) {
      ++summary->skipped;
    } else if (!judgement.problems.empty()) {
      ++summary->problems;
    } else {
      ++(judgement.verdict == Verdict::kFits ? summary->fits : summary->shorter);
    }
    report->part(&report->place, parts[i], judgement);
  }
}

// Meets each wave of the container: those known already, found by an
// earlier scan of it, or those a scan finds now. False with why when it
// could not be read.
bool MeetWaves(Walk* walk, const std::vector<WaveKey>& known, std::string* err) {
  if (!known.empty()) {
    for (const WaveKey& wave : known) Meet(walk, wave.offset, wave.length);
    return true;
  }
  return FindWaves(
      walk->file, walk->summary->size, kScanBlock,
      [walk](std::uint64_t offset, std::uint64_t length) { Meet(walk, offset, length); }, err);
}

// Walks container's waves, in file open at dir + summary->name: reports
// each, extracts them when asked, and places parts among them. False when
// anything could not be read or written; summary->read says whether the
// container itself could be read whole.
bool WalkWaves(std::FILE* file, const std::string& dir, bool extract, const RunFiles& files,
               ScanReport* report, ContainerSummary* summary, std::vector<PartFinding>* parts,
               const std::vector<WaveKey>& known) {
  Walk walk;
  walk.dir = dir;
  walk.file = file;
  walk.extract = extract;
  walk.never = extract ? NeverExtracted(dir, summary->name, files) : "";
  walk.summary = summary;
  walk.report = report;
  walk.parts = parts;
  for (std::size_t i = 0; i < parts->size(); ++i) {
    if ((*parts)[i].taken == PartName::kPart) walk.sorted.push_back(i);
  }
  std::stable_sort(walk.sorted.begin(), walk.sorted.end(), [parts](std::size_t a, std::size_t b) {
    return (*parts)[a].offset < (*parts)[b].offset;
  });
  for (const std::size_t i : walk.sorted) {
    walk.spots.push_back({(*parts)[i].offset, (*parts)[i].length});
  }
  walk.places.resize(walk.sorted.size());
  summary->read = MeetWaves(&walk, known, &summary->error);
  if (walk.holding) Settle(&walk, &walk.held, walk.heldPart, true);
  for (std::size_t i = 0; i < walk.sorted.size(); ++i) {
    (*parts)[walk.sorted[i]].place = walk.places[i];
  }
  if (!summary->read) Complain(PathIn(dir, summary->name), summary->error);
  return walk.done;
}

}  // namespace

bool ScanWaves(const std::string& dir, const std::string& container, const ScanOptions& options,
               const RunFiles& files, ScanReport* report) {
  const std::string path = PathIn(dir, container);
  ContainerSummary summary;
  summary.name = container;
  summary.extract = options.extract;
  summary.fitAsked = options.fit;
  summary.moveAsked = !options.movedFrom.empty();
  ReadOnlyFile file;
  if (!OpenToRead(path, &file, &summary.size, &summary.error)) {
    Complain(path, summary.error);
    summary.read = false;
    report->done(&report->place, summary);
    return false;
  }
  summary.opened = true;
  summary.sameFile = OtherThan(ContainersItIs(files, dir, container), container);
  CanWrite(path, &summary.notWritable);
  std::map<std::string, Moving> moves;
  std::vector<WaveKey> known;  // the waves, when moving the parts found them
  bool done = !summary.moveAsked ||
              MoveParts(file.get(), dir, options.movedFrom, report, &summary, &moves, &known);
  std::vector<PartFinding> parts;
  if (!FindParts(dir, files, &summary, &parts)) done = false;
  for (PartFinding& part : parts) {
    const auto moved = moves.find(part.name);
    if (moved != moves.end()) part.moving = moved->second;
  }
  report->opened(&report->place, summary);
  if (!WalkWaves(file.get(), dir, options.extract, files, report, &summary, &parts, known)) {
    done = false;
  }
  std::vector<Judgement> judgements(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) judgements[i] = Judge(parts[i], summary.size);
  if (options.fit && summary.read &&
      !FitParts(file.get(), dir, files, &summary, &parts, &judgements)) {
    done = false;
  }
  ReportParts(parts, judgements, report, &summary);
  report->done(&report->place, summary);
  return done && summary.read && summary.problems == 0 && JudgeContainer(summary).empty();
}
