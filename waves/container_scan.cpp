#include "waves/container_scan.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/open_file.h"
#include "platform/search.h"
#include "waves/extract.h"
#include "waves/part_file.h"
#include "waves/part_name.h"
#include "waves/part_search.h"
#include "waves/report.h"
#include "waves/same_name.h"
#include "waves/wave_scan.h"

namespace {

PartFinding FindPart(const std::string& dir, const std::string& container,
                     const std::string& name) {
  PartFinding part;
  part.name = name;
  part.nameLength = PartNameLength(container);
  part.taken = TakePartName(name, container, &part.offset);
  if (part.taken != PartName::kPart) return part;
  const PartFile opened = OpenPart(dir + name);
  part.headerRead = opened.file != nullptr;
  part.length = opened.length;
  part.refused = opened.why;
  if (opened.file == nullptr) return part;
  if (part.refused.empty() && !ReadChunks(opened.file, 0, part.length, &part.own)) {
    part.refused = ReadFailure(opened.file, "file shrank while being read");
  }
  std::fclose(opened.file);  // read only: nothing can be lost at its close
  return part;
}

// Where wavesplice would meet other files: parts it takes for one offset,
// parts whose bytes overlap, a container named as this one but for case,
// and a container it could not open for update.
void FindCollisions(const std::string& dir, const std::string& container,
                    std::vector<PartFinding>* parts) {
  std::vector<PartFinding*> spliced;  // in search order
  for (PartFinding& part : *parts) {
    if (part.taken == PartName::kPart && part.refused.empty()) spliced.push_back(&part);
  }
  if (spliced.empty()) return;
  std::map<std::uint32_t, std::vector<PartFinding*>> byOffset;
  for (PartFinding* part : spliced) byOffset[part->offset].push_back(part);
  for (auto& [offset, same] : byOffset) {
    if (same.size() < 2) continue;
    for (PartFinding* part : same) {
      for (const PartFinding* other : same) {
        if (other != part) part->sameOffset.push_back(other->name);
      }
      part->splicedLast = same.back()->name;
    }
  }
  for (auto at = byOffset.begin(); at != byOffset.end(); ++at) {
    for (PartFinding* part : at->second) {
      const std::uint64_t end = std::uint64_t{part->offset} + part->length;
      for (auto next = std::next(at); next != byOffset.end() && next->first < end; ++next) {
        for (PartFinding* other : next->second) {
          if (part->length == 0 || other->length == 0) continue;
          part->overlaps.push_back(other->name);
          other->overlaps.push_back(part->name);
        }
      }
    }
  }
  std::string twin;
  for (const std::string& name : SameNames(dir, container)) {
    if (name != container) twin = name;
  }
  const std::string unwritable = CannotWrite(dir + container);
  for (PartFinding* part : spliced) {
    part->caseTwin = twin;
    part->notWritable = unwritable;
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

// Writes the wave as a part file unless one is there, the container is
// itself a part file, or the container is a wave file, one that begins
// with its wave and is that wave or is named .wav: a copy of it could only
// ever be spliced back over an edit of it. False when it could not be
// written whole.
bool Extract(std::FILE* file, const std::string& dir, const std::string& container,
             std::uint64_t size, const std::string& owner, const PartFinding* existing,
             WaveFinding* wave) {
  using Extraction = WaveFinding::Extraction;
  if (!owner.empty()) {
    wave->extraction = Extraction::kPassedOver;
    wave->why = "not extracted: " + container + " is itself a part file of " + owner;
    return true;
  }
  if (wave->offset == 0 && (wave->length == size || HasWaveExtension(container))) {
    wave->extraction = Extraction::kPassedOver;
    wave->why = "not extracted: " + container + " is itself a wave file; edit it directly";
    return true;
  }
  if (existing != nullptr) {
    wave->extraction = Extraction::kKept;
    wave->partName = existing->name;
    return true;
  }
  wave->partName = PartFileName(container, static_cast<std::uint32_t>(wave->offset));
  if (wave->partName.size() > kLongestName) {
    wave->why = "not created: its name would have " + std::to_string(wave->partName.size()) +
                " bytes, more than the " + std::to_string(kLongestName) +
                " a search returns, so neither program could find it";
    Complain(dir + wave->partName, wave->why);
    wave->extraction = Extraction::kFailed;
    return false;
  }
  switch (ExtractWave(file, dir + container, wave->offset, wave->length, dir + wave->partName,
                      &wave->why)) {
    case Extracted::kWritten:
      wave->extraction = Extraction::kWritten;
      return true;
    case Extracted::kKept:
      wave->extraction = Extraction::kKept;
      return true;
    case Extracted::kFailed:
      break;
  }
  wave->extraction = Extraction::kFailed;
  return false;
}

}  // namespace

bool ScanContainer(const std::string& dir, const std::string& container, bool extract,
                   const ScanReport& report) {
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
  report.opened(summary);

  std::vector<PartFinding> parts;
  bool done = ForEachPartFile(dir, container, [&](const std::string& name) {
    parts.push_back(FindPart(dir, container, name));
    return true;
  });
  FindCollisions(dir, container, &parts);
  std::multimap<std::uint64_t, PartFinding*> byOffset;  // the parts wavesplice takes
  for (PartFinding& part : parts) {
    if (part.taken == PartName::kPart) byOffset.emplace(part.offset, &part);
  }
  const std::string owner = extract ? OwnerOf(dir, container) : "";
  auto before = byOffset.begin();  // the parts not yet met by a wave after them

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
        if (offset > UINT32_MAX || length > UINT32_MAX) {
          wave.extraction = WaveFinding::Extraction::kPassedOver;
          wave.why = "no part file can name it: beyond 32 bits";
        } else if (extract &&
                   !Extract(file, dir, container, summary.size, owner, existing, &wave)) {
          done = false;
        }
        if (wave.extraction == WaveFinding::Extraction::kWritten) ++summary.extracted;
        report.wave(wave);
      });
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
  return done && summary.read && summary.problems == 0;
}
