#include "scan/scan_waves.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/open_file.h"
#include "scan/collisions.h"
#include "scan/extract.h"
#include "waves/part_file.h"
#include "waves/part_name.h"
#include "waves/part_search.h"
#include "waves/messages.h"
#include "scan/same_name.h"
#include "scan/find_waves.h"

namespace {

constexpr std::size_t kMostNamed = 10;  // names given of the parts a part meets

PartFinding FindPart(const std::string& dir, const std::string& container,
                     const std::string& name) {
  PartFinding part;
  part.name = name;
  part.nameLength = PartNameLength(container);
  part.taken = TakePartName(name, container, &part.offset);
  if (part.taken != PartName::kPart) return part;
  const PartFile opened = OpenPart(dir + name);
  part.opened = opened.opened;
  part.headerRead = opened.file != nullptr;
  part.length = opened.length;
  part.refused = opened.why;
  if (opened.file == nullptr) {
    // Too short for a header: what there is tells what it is not.
    if (opened.start) {
      part.own.head.assign(reinterpret_cast<const char*>(opened.start.get()), opened.got);
    }
    return part;
  }
  // Read even when wavesplice refuses it, as far as the file goes: a FLAC
  // or RIFX file's bytes 4 to 7 make a length far beyond its size.
  const std::uint64_t held = std::min<std::uint64_t>(part.length, opened.size);
  if (!ReadChunks(opened.file, 0, held, &part.own) && part.refused.empty()) {
    part.refused = ReadFailure(opened.file, "file shrank while being read");
  }
  std::fclose(opened.file);  // read only: nothing can be lost at its close
  return part;
}

Others Named(const std::vector<PartFinding>& parts, const std::vector<std::size_t>& spliced,
             std::size_t count, const std::vector<std::size_t>& which) {
  Others others;
  others.count = count;
  for (const std::size_t i : which) others.names.push_back(parts[spliced[i]].name);
  return others;
}

// Where wavesplice would meet other files: parts it takes for one offset,
// parts whose bytes overlap, a part that is a container, a container named
// as this one but for case, and the container's own state.
void FindCollisions(const std::string& dir, const std::string& container, const RunFiles& files,
                    const ContainerSummary& summary, std::vector<PartFinding>* parts) {
  std::vector<std::size_t> spliced;  // the parts it writes, in search order
  std::vector<Span> spans;
  for (std::size_t i = 0; i < parts->size(); ++i) {
    PartFinding& part = (*parts)[i];
    if (part.taken != PartName::kPart || !part.refused.empty()) continue;
    spliced.push_back(i);
    spans.push_back({part.offset, part.length});
    const std::vector<std::string> same =
        OtherThan(ContainersItIs(files, dir, part.name), part.name);
    if (!same.empty()) part.sameFile = same.front();
  }
  if (spliced.empty()) return;
  const std::vector<Meeting> meetings = FindMeetings(spans, kMostNamed);
  std::string twin;
  for (const std::string& name : SameNames(dir, container)) {
    if (name != container) twin = name;
  }
  for (std::size_t i = 0; i < spliced.size(); ++i) {
    PartFinding& part = (*parts)[spliced[i]];
    const Meeting& meeting = meetings[i];
    part.sameOffset = Named(*parts, spliced, meeting.sameOffsetCount, meeting.sameOffset);
    part.splicedLast = (*parts)[spliced[meeting.splicedLast]].name;
    part.overlaps = Named(*parts, spliced, meeting.overlapCount, meeting.overlaps);
    part.caseTwin = twin;
    part.notWritable = summary.notWritable;
  }
}

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

// Writes the wave as a part file unless one is there. False when it could
// not be written whole.
bool Extract(std::FILE* file, const std::string& dir, const std::string& container,
             const PartFinding* existing, WaveFinding* wave) {
  if (existing != nullptr) {
    wave->extraction = Extraction::kKept;
    wave->partName = existing->name;
    return true;
  }
  wave->partName = PartFileName(container, static_cast<std::uint32_t>(wave->offset));
  wave->extraction = ExtractWave(file, dir + container, wave->offset, wave->length,
                                 dir + wave->partName, &wave->why);
  return wave->extraction != Extraction::kFailed;
}

}  // namespace

bool ScanContainer(const std::string& dir, const std::string& container, bool extract,
                   const RunFiles& files, const ScanReport& report) {
  const std::string path = dir + container;
  ContainerSummary summary;
  summary.name = container;
  summary.extract = extract;
  std::FILE* file = OpenToRead(path, &summary.size, &summary.error);
  if (file == nullptr) {
    Complain(path, summary.error);
    summary.read = false;
    report.done(summary);
    return false;
  }
  summary.opened = true;
  summary.sameFile = OtherThan(ContainersItIs(files, dir, container), container);
  summary.notWritable = CannotWrite(path);

  std::vector<PartFinding> parts;
  bool done = ForEachPartFile(
      dir, container,
      [&](const std::string& name) {
        parts.push_back(FindPart(dir, container, name));
        return true;
      },
      &summary.error);
  FindCollisions(dir, container, files, summary, &parts);
  report.opened(summary);

  std::multimap<std::uint64_t, PartFinding*> byOffset;  // the parts wavesplice takes
  for (PartFinding& part : parts) {
    if (part.taken == PartName::kPart) byOffset.emplace(part.offset, &part);
  }
  const std::string never = extract ? NeverExtracted(dir, container, files) : "";
  auto before = byOffset.begin();  // the parts not yet met by a wave after them
  // The first wave of a file named .wav that holds more: whether it is the
  // whole of a wave file or one of several is known only at the next wave.
  WaveFinding pending;
  bool waiting = false;
  const auto settle = [&](WaveFinding& wave, const PartFinding* existing, bool alone) {
    if (wave.offset > UINT32_MAX || wave.length > UINT32_MAX) {
      wave.extraction = Extraction::kPassedOver;
      wave.why = "no part file can name it: beyond 32 bits";
    } else if (extract && !never.empty()) {
      wave.extraction = Extraction::kPassedOver;
      wave.why = "not extracted: " + never;
    } else if (extract && alone) {
      wave.extraction = Extraction::kPassedOver;
      wave.why = "not extracted: " + container + " is itself a wave file; edit it directly";
    } else if (extract && !Extract(file, dir, container, existing, &wave)) {
      done = false;
    }
    if (wave.extraction == Extraction::kWritten) ++summary.extracted;
    if (wave.extraction == Extraction::kFailed) ++summary.failed;
    report.wave(wave);
  };
  const PartFinding* pendingExisting = nullptr;

  summary.read =
      FindWaves(file, summary.size, kScanBlock, [&](std::uint64_t offset, std::uint64_t length) {
        ++summary.waves;
        WaveFinding wave;
        wave.offset = offset;
        wave.length = length;
        wave.chunksRead = ReadChunks(file, offset, length, &wave.chunks);
        if (!wave.chunksRead) {
          Complain(path, ReadFailure(file, "file shrank while being read"));
          done = false;
        }
        for (; before != byOffset.end() && before->first < offset; ++before) {
          PartFinding& part = *before->second;
          part.overruns = before->first + std::uint64_t{part.length} > offset;
          part.nextWave = offset;
        }
        auto at = byOffset.lower_bound(offset);
        const PartFinding* existing =
            at != byOffset.end() && at->first == offset ? at->second : nullptr;
        for (; at != byOffset.end() && at->first < offset + length; ++at) {
          PartFinding& part = *at->second;
          part.waveStarts = at->first == offset;
          part.inside = !part.waveStarts;
          part.waveOffset = offset;
          part.waveLength = length;
          if (part.waveStarts) part.wave = wave.chunks;
        }
        if (waiting) {
          settle(pending, pendingExisting, false);
          waiting = false;
        }
        if (offset == 0 && length < summary.size && HasWaveExtension(container)) {
          pending = wave;
          pendingExisting = existing;
          waiting = true;
          return;
        }
        settle(wave, existing, offset == 0 && length == summary.size);
      });
  if (waiting) settle(pending, pendingExisting, true);
  if (!summary.read) {
    summary.error = ReadFailure(file, "file shrank while being read");
    Complain(path, summary.error);
  }
  std::fclose(file);  // read only: nothing can be lost at its close

  for (const PartFinding& part : parts) {
    const Judgement judgement = Judge(part, summary.size);
    ++summary.parts;
    if (judgement.verdict == Verdict::kSkipped) {
      ++summary.skipped;
    } else if (!judgement.problems.empty()) {
      ++summary.problems;
    } else {
      ++(judgement.verdict == Verdict::kFits ? summary.fit : summary.shorter);
    }
    report.part(part, judgement);
  }
  report.done(summary);
  return done && summary.read && summary.problems == 0 && JudgeContainer(summary).empty();
}
