#include "scan/fit_parts.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/file_identity.h"
#include "platform/open_file.h"
#include "platform/path.h"
#include "scan/collisions.h"
#include "scan/find_parts.h"
#include "scan/fit_part.h"
#include "scan/problems.h"
#include "sound/format_layout.h"

namespace {

// Why parts must be left that fitting one would change under another name:
// a part that is the same file as another part, or as a container of the
// run, its own included. Keyed by index into parts.
std::map<std::size_t, std::string> SharedFiles(const std::string& dir, const RunFiles& files,
                                               const std::vector<PartFinding>& parts) {
  std::map<std::size_t, std::string> why;
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> seen;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].taken != PartName::kPart) continue;
    if (!ContainersItIs(files, dir, parts[i].name).empty()) {
      why[i] = "it is a container of this run";
      continue;
    }
    FileIdentity identity;
    if (!IdentifyFile(PathIn(dir, parts[i].name), &identity)) continue;
    const auto [first, fresh] = seen.emplace(std::make_pair(identity.volume, identity.index), i);
    if (fresh) continue;
    why[i] = "it is the same file as " + parts[first->second].name + ", another part";
    why[first->second] = "it is the same file as " + parts[i].name + ", another part";
  }
  return why;
}

}  // namespace

std::string WhyNotFitted(const PartFinding& part, const Judgement& judgement) {
  // Whether fitting it would change anything of its own: a note is mended
  // by the wave's own chunks.
  bool mends = !judgement.notes.empty();
  for (const Problem problem : judgement.problems) {
    const ProblemRow& row = RowOf(problem);
    if (row.notFitted != nullptr) return row.notFitted;
    mends = mends || row.fitMends;
  }
  if (!mends) return "it is as long as its wave and in its format: only another part meets it";
  if (!part.own.hasData) return "it has no data chunk";
  if (!part.wave.hasFormat) return "the wave at its offset has no fmt chunk";
  if (!part.wave.hasData) return "the wave at its offset has no data chunk";
  if (KeepsItsSamples(part)) return "";  // copied, in whatever format
  DataLayout layout;
  std::string why;
  if (!LayoutOf(part.own.format, Use::kRead, &layout, &why)) return "its format is " + why;
  if (!LayoutOf(part.wave.format, Use::kWrite, &layout, &why)) {
    return "the wave at its offset is " + why;
  }
  return "";
}

namespace {

// What fitting the part mends beside its sound, for the words said of it.
void Beside(const Judgement& judgement, PartFinding* part) {
  const auto has = [](const auto& list, auto item) {
    return std::find(list.begin(), list.end(), item) != list.end();
  };
  part->fitting.loops =
      has(judgement.notes, Note::kLoopDropped) || has(judgement.problems, Problem::kLoopPastEnd);
  part->fitting.header = has(judgement.notes, Note::kLayoutDiffers);
  part->fitting.waveLoops = !part->wave.loops.empty() || !part->wave.cues.empty();
}

// Marks each part with a problem or a note as one to mend, with why it cannot be fitted,
// or "" when it may be.
void AskEach(const std::string& dir, const RunFiles& files,
             const std::vector<Judgement>& judgements, std::vector<PartFinding>* parts) {
  const std::map<std::size_t, std::string> shared = SharedFiles(dir, files, *parts);
  for (std::size_t i = 0; i < parts->size(); ++i) {
    PartFinding& part = (*parts)[i];
    if (part.taken != PartName::kPart) continue;
    const Judgement& judgement = judgements[i];
    part.fitting.toMend = !judgement.problems.empty() || !judgement.notes.empty();
    if (!part.fitting.toMend) continue;
    Beside(judgement, &part);
    std::string& why = part.fitting.notFitted;
    why = WhyNotFitted(part, judgement);
    std::string readOnly;
    if (why.empty() && (!CanWrite(PathIn(dir, part.name), &readOnly) ||
                        !CanReplace(PathIn(dir, part.name), &readOnly))) {
      why = "it may not be replaced: " + readOnly;
    }
    const auto sharing = shared.find(i);
    if (why.empty() && sharing != shared.end()) why = sharing->second;
  }
}

// Whether the part meets another part.
bool Meets(const PartFinding& part) { return part.sameOffset.count > 0 || part.overlaps.count > 0; }

}  // namespace

bool FitParts(std::FILE* file, const std::string& dir, const RunFiles& files,
              ContainerSummary* container, std::vector<PartFinding>* parts,
              std::vector<Judgement>* judgements) {
  AskEach(dir, files, *judgements, parts);
  // Every part wavesplice writes, each with its slot when fitting it would
  // mend all it has: the ones that are then alone are fitted.
  std::vector<std::size_t> writers;
  std::vector<Span> spans;
  std::vector<std::uint64_t> slots;
  for (std::size_t i = 0; i < parts->size(); ++i) {
    const PartFinding& part = (*parts)[i];
    if (part.taken != PartName::kPart || !part.refused.empty()) continue;
    writers.push_back(i);
    spans.push_back({part.offset, part.length});
    slots.push_back(part.fitting.toMend && part.fitting.notFitted.empty() ? part.place.waveLength
                                                                          : 0);
  }
  const std::vector<bool> alone = FitsAlone(spans, slots);
  // What a fit changed is judged again: the fitted part, and where the
  // parts it met now meet.
  std::vector<bool> changed(parts->size());
  bool done = true;
  for (std::size_t at = 0; at < writers.size(); ++at) {
    PartFinding& part = (*parts)[writers[at]];
    if (slots[at] == 0) continue;
    if (!alone[at]) {
      part.fitting.notFitted = "another part's bytes would still meet its wave's";
      continue;
    }
    if (!FitPart(file, dir, &part)) done = false;
    if (part.fitting.done) ++container->fitted;
    changed[writers[at]] = part.fitting.done;
  }
  if (container->fitted == 0) return done;
  // A fitted part meets none: the parts that met one meet fewer now, and
  // the others as many as before.
  for (std::size_t i = 0; i < parts->size(); ++i) changed[i] = changed[i] || Meets((*parts)[i]);
  MeetParts(dir, files, *container, parts);
  for (std::size_t i = 0; i < parts->size(); ++i) {
    if (changed[i]) (*judgements)[i] = Judge((*parts)[i], container->size);
  }
  return done;
}
