#include "waves/container_scan.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/file_position.h"
#include "waves/extract.h"
#include "waves/part_file.h"
#include "waves/part_name.h"
#include "waves/part_search.h"
#include "waves/report.h"
#include "waves/wave_format.h"
#include "waves/wave_scan.h"

namespace {

// A part file as wavesplice would take it, and what the scan found at its
// offset.
struct Part {
  std::string name;
  std::string skipped;  // why wavesplice passes it over, when it does
  std::string refused;  // why wavesplice would not splice it, when it would not
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  bool waveStarts = false;
  std::uint64_t waveLength = 0;
  bool inside = false;  // inside the wave at insideOf
  std::uint64_t insideOf = 0;
};

struct Counts {
  std::size_t waves = 0;
  int fit = 0;
  int shorter = 0;
  int problems = 0;
  int skipped = 0;
  int extracted = 0;
};

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%08" PRIx64, value);
  return text;
}

std::string Count(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

Part ReadPart(const std::string& dir, const std::string& container, const std::string& name) {
  Part part;
  part.name = name;
  switch (TakePartName(name, container, &part.offset)) {
    case PartName::kWrongLength:
      part.skipped = "its name has " + std::to_string(name.size()) + " bytes, not the " +
                     std::to_string(PartNameLength(container)) + " of a part file";
      return part;
    case PartName::kNoOffset:
      part.skipped = "no offset before the extension";
      return part;
    case PartName::kPart:
      break;
  }
  const PartFile opened = OpenPart(dir + name);
  part.length = opened.length;
  part.refused = opened.why;
  if (opened.file != nullptr) std::fclose(opened.file);  // read only: nothing is lost at its close
  return part;
}

// The part's verdict; problems begin with "PROBLEM".
std::string Verdict(const Part& part, std::uint64_t size) {
  const std::uint64_t end = std::uint64_t{part.offset} + part.length;
  if (part.waveStarts && part.length == part.waveLength) return "fits";
  if (part.waveStarts && part.length < part.waveLength) {
    return "shorter than the wave at that offset by " +
           std::to_string(part.waveLength - part.length) +
           " bytes; fine: the rest of the old wave stays behind it";
  }
  const std::string grows =
      end > size ? "lengthen the container by " + std::to_string(end - size) + " bytes" : "";
  if (part.waveStarts) {
    const std::uint64_t over = part.length - part.waveLength;
    const std::uint64_t after = std::min(over, size - (part.offset + part.waveLength));
    return "PROBLEM: LONGER than the wave at that offset by " + std::to_string(over) +
           " bytes: splicing it would overwrite " + std::to_string(after) +
           " bytes after the wave" + (grows.empty() ? "" : " and " + grows);
  }
  if (part.offset >= size) {
    // A wave of length 0 writes nothing, even there.
    return "PROBLEM: past the container's end" +
           (grows.empty() ? "" : ": splicing it would " + grows);
  }
  return "PROBLEM: no wave starts at that offset" +
         (part.inside ? "; it falls inside the wave at " + Hex(part.insideOf) : std::string()) +
         (grows.empty() ? "" : "; splicing it would " + grows);
}

void ReportPart(const Part& part, std::uint64_t size, Counts* counts) {
  if (!part.skipped.empty()) {
    std::printf("  part %s: skipped, as wavesplice skips it: %s\n", part.name.c_str(),
                part.skipped.c_str());
    ++counts->skipped;
    return;
  }
  if (!part.refused.empty()) {
    std::printf("  part %s offset %08x: PROBLEM: wavesplice would refuse it: %s\n",
                part.name.c_str(), part.offset, part.refused.c_str());
    ++counts->problems;
    return;
  }
  const std::string verdict = Verdict(part, size);
  std::printf("  part %s offset %08x length %08x: %s\n", part.name.c_str(), part.offset,
              part.length, verdict.c_str());
  if (verdict.rfind("PROBLEM", 0) == 0) {
    ++counts->problems;
  } else {
    ++(verdict == "fits" ? counts->fit : counts->shorter);
  }
}

// What became of a wave that may be taken out; false when it could not be.
bool Extract(std::FILE* file, const std::string& dir, const std::string& container,
             std::uint64_t offset, std::uint64_t length, const Part* existing, std::string* line,
             Counts* counts) {
  if (existing != nullptr) {
    *line += "; kept the existing " + existing->name;
    return true;
  }
  const std::string name = PartFileName(container, static_cast<std::uint32_t>(offset));
  switch (ExtractWave(file, dir + container, offset, length, dir + name)) {
    case Extracted::kWritten:
      *line += "; extracted to " + name;
      ++counts->extracted;
      return true;
    case Extracted::kKept:
      *line += "; kept the existing " + name;
      return true;
    case Extracted::kFailed:
      break;
  }
  *line += "; NOT extracted";
  return false;
}

}  // namespace

bool ScanContainer(const std::string& dir, const std::string& container, bool extract) {
  const std::string path = dir + container;
  std::uint64_t size = 0;
  std::string why;
  std::FILE* file = OpenToRead(path, &size, &why);
  if (file == nullptr) {
    Complain(path, why);
    return false;
  }
  std::printf("Scanning %s, %" PRIu64 " bytes\n", container.c_str(), size);

  std::vector<Part> parts;
  bool done = ForEachPartFile(dir, container, [&](const std::string& name) {
    parts.push_back(ReadPart(dir, container, name));
    return true;
  });
  std::multimap<std::uint64_t, Part*> byOffset;  // the parts wavesplice would splice or refuse
  for (Part& part : parts) {
    if (part.skipped.empty()) byOffset.emplace(part.offset, &part);
  }

  Counts counts;
  const bool read =
      FindWaves(file, size, kScanBlock, [&](std::uint64_t offset, std::uint64_t length) {
        ++counts.waves;
        auto at = byOffset.lower_bound(offset);
        const Part* existing = at != byOffset.end() && at->first == offset ? at->second : nullptr;
        for (; at != byOffset.end() && at->first < offset + length; ++at) {
          at->second->waveStarts = at->first == offset;
          at->second->waveLength = length;
          at->second->inside = at->first != offset;
          at->second->insideOf = offset;
        }
        std::string line = "  wave " + Hex(offset) + " length " + Hex(length);
        std::string format;
        if (DescribeWave(file, offset, length, &format)) {
          line += ": " + format;
        } else {
          Complain(path, ReadFailure(file, "file shrank while being read"));
          done = false;
        }
        if (offset > UINT32_MAX || length > UINT32_MAX) {
          line += "; no part file can name it: beyond 32 bits";
        } else if (extract &&
                   !Extract(file, dir, container, offset, length, existing, &line, &counts)) {
          done = false;
        }
        std::printf("%s\n", line.c_str());
      });
  if (!read) {
    Complain(path, ReadFailure(file, "file shrank while being read"));
    done = false;
  }
  std::fclose(file);  // read only: nothing can be lost at its close

  for (const Part& part : parts) ReportPart(part, size, &counts);
  std::printf("%s: %s, %s: %d fit, %d shorter, %d with a problem, %d skipped", container.c_str(),
              Count(counts.waves, "wave").c_str(), Count(parts.size(), "part file").c_str(),
              counts.fit, counts.shorter, counts.problems, counts.skipped);
  if (extract) std::printf(", %d extracted", counts.extracted);
  std::printf("\n");
  return done && read && counts.problems == 0;
}
