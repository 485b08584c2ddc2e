#include "scan/find_parts.h"

#include <algorithm>

#include "platform/path.h"
#include "scan/chunks.h"
#include "scan/collisions.h"
#include "scan/same_name.h"
#include "waves/part_file.h"
#include "waves/part_name.h"
#include "waves/part_search.h"
#include "waves/reading.h"

namespace {

constexpr std::size_t kMostNamed = 10;  // names given of the parts a part meets

}  // namespace

PartFinding ReadPart(const std::string& dir, const std::string& container,
                     const std::string& name) {
  PartFinding part;
  part.name = name;
  part.nameLength = PartNameLength(container);
  part.taken = TakePartName(name, container, &part.offset);
  if (part.taken != PartName::kPart) return part;
  PartFile opened;
  const bool whole = OpenPart(PathIn(dir, name), kChunkHeader, &opened, &part.refused);
  part.opened = opened.opened;
  part.headerRead = opened.file != nullptr;
  part.length = opened.length;
  if (!opened.file) {
    // Too short for a header: what there is tells what it is not.
    if (opened.start) {
      part.own.head.assign(reinterpret_cast<const char*>(opened.start.get()), opened.got);
    }
    return part;
  }
  // Read even when wavesplice refuses it, as far as the file goes: a FLAC
  // or RIFX file's bytes 4 to 7 make a length far beyond its size.
  const std::uint64_t held = std::min<std::uint64_t>(part.length, opened.size);
  std::string err;
  if (!ReadChunks(opened.file.get(), 0, held, &part.own, kShrank, &err) && whole) {
    part.refused = err;
  }
  return part;
}

namespace {

Others Named(const std::vector<PartFinding>& parts, const std::vector<std::size_t>& spliced,
             std::size_t count, const std::vector<std::size_t>& which) {
  Others others;
  others.count = count;
  for (const std::size_t i : which) others.names.push_back(parts[spliced[i]].name);
  return others;
}

}  // namespace

void MeetParts(const std::string& dir, const RunFiles& files, const ContainerSummary& summary,
               std::vector<PartFinding>* parts) {
  std::vector<std::size_t> spliced;  // the parts it writes, in search order
  std::vector<Span> spans;
  for (std::size_t i = 0; i < parts->size(); ++i) {
    PartFinding& part = (*parts)[i];
    part.sameOffset = Others();
    part.overlaps = Others();
    if (part.taken != PartName::kPart) continue;
    // Whatever its first bytes: a container that begins with its table is
    // refused as a wave, and is still this very file.
    const std::vector<std::string> same =
        OtherThan(ContainersItIs(files, dir, part.name), part.name);
    if (!same.empty()) part.sameFile = same.front();
    if (!part.refused.empty()) continue;
    spliced.push_back(i);
    spans.push_back({part.offset, part.length});
  }
  if (spliced.empty()) return;
  const std::vector<Meeting> meetings = FindMeetings(spans, kMostNamed);
  std::string twin;
  for (const std::string& name : SameNames(dir, summary.name)) {
    if (name != summary.name) twin = name;
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

bool FindParts(const std::string& dir, const RunFiles& files, ContainerSummary* container,
               std::vector<PartFinding>* parts) {
  const bool searched = ForEachPartFile(
      dir, container->name,
      [&](const std::string& name) {
        parts->push_back(ReadPart(dir, container->name, name));
        return true;
      },
      &container->error);
  MeetParts(dir, files, *container, parts);
  return searched;
}
