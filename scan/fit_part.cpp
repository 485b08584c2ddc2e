#include "scan/fit_part.h"

#include <cerrno>
#include <vector>

#include "platform/file_position.h"
#include "platform/open_file.h"
#include "platform/search.h"
#include "scan/collisions.h"
#include "scan/find_parts.h"
#include "scan/fit_sound.h"
#include "scan/sample_layout.h"
#include "waves/messages.h"
#include "waves/reading.h"

namespace {

using Bytes = std::vector<unsigned char>;

// How the samples of a wave in format lie, or why --fit cannot convert them.
std::string LayoutOf(const WaveFormat& format, SampleLayout* layout) {
  const std::uint32_t tag = EffectiveTag(format);
  const std::string name = FormatName(format);
  if (tag != 1 && tag != 3) {
    const bool compressed = tag == 2 || tag == 6 || tag == 7 || tag == 0x11 || tag == 0x55;
    return compressed ? name + ", a compressed format" : name + ", not PCM or IEEE float";
  }
  layout->kind = tag == 1 ? SampleKind::kPcm : SampleKind::kFloat;
  layout->bits = format.bitsPerSample;
  layout->validBits = format.validBits != 0 ? format.validBits : format.bitsPerSample;
  layout->channels = format.channels;
  if (!format.hasBits || format.sampleRate == 0 || !IsSupported(*layout) ||
      format.blockAlign != FrameBytes(*layout)) {
    return name + " of " + std::to_string(format.bitsPerSample) + " bits in blocks of " +
           std::to_string(format.blockAlign) + " bytes, which --fit does not convert";
  }
  return "";
}

const char* ProblemBlocks(Problem problem) {
  switch (problem) {
    case Problem::kNotAWave:
      return "it is not a wave";
    case Problem::kRefused:
      return "wavesplice would refuse it";
    case Problem::kNoWave:
      return "no wave starts at its offset";
    case Problem::kPastEnd:
      return "its offset is past the container's end";
    case Problem::kNoFormat:
      return "it has no fmt chunk to say what its sound is";
    case Problem::kSameOffset:
      return "another part is taken for its offset";
    case Problem::kSameFile:
      return "it is a container of this run";
    case Problem::kCaseTwin:
      return "wavesplice would splice it into another container as well";
    case Problem::kNotWritable:
      return "wavesplice could not open the container for update";
    case Problem::kLonger:
    case Problem::kFormatDiffers:
    case Problem::kOverlaps:
      break;
  }
  return "";
}

enum class Written { kDone, kExists, kFailed };

// Creates path, unless a file of that name exists, and writes bytes to it,
// on the disk before it is closed. Failed, having given why, with nothing
// left of it.
Written WriteNew(const std::string& path, const Bytes& bytes, std::string* why) {
  std::FILE* file = CreateNewFile(path);
  if (file == nullptr && errno == EEXIST) return Written::kExists;
  if (file == nullptr) {
    *why = "cannot create " + path + ": " + OpenFailure(path, true);
    return Written::kFailed;
  }
  NoteCreated(path);
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && SyncFile(file);
  const int error = errno;
  if (std::fclose(file) != 0 && written) written = false;
  if (written) return Written::kDone;
  *why = Reason("cannot write " + path, error);
  if (RemoveFile(path)) NoteRemoved(path);
  return Written::kFailed;
}

bool ReadAll(std::FILE* file, std::uint64_t offset, Bytes* bytes) {
  return SeekTo(file, offset) && std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
}

}  // namespace

std::string WhyNotFitted(const PartFinding& part, const Judgement& judgement) {
  for (const Problem problem : judgement.problems) {
    const char* blocks = ProblemBlocks(problem);
    if (*blocks != '\0') return blocks;
  }
  if (!part.own.hasData) return "it has no data chunk";
  if (!part.wave.hasFormat) return "the wave at its offset has no fmt chunk";
  if (!part.wave.hasData) return "the wave at its offset has no data chunk";
  SampleLayout layout;
  std::string why = LayoutOf(part.own.format, &layout);
  if (!why.empty()) return "its format is " + why;
  why = LayoutOf(part.wave.format, &layout);
  return why.empty() ? "" : "the wave at its offset is " + why;
}

bool FitPart(std::FILE* container, const std::string& dir, const PartFinding& part,
             Fitting* fitting) {
  const std::string path = dir + part.name;
  fitting->from = part.own.format;
  fitting->to = part.wave.format;
  SampleLayout from;
  SampleLayout to;
  LayoutOf(part.own.format, &from);
  LayoutOf(part.wave.format, &to);
  // The user's file whole, as it is kept; the wave whole, as it is copied.
  std::uint64_t size = 0;
  std::string why;
  std::FILE* file = OpenToRead(path, &size, &why);
  Bytes mine(file != nullptr ? static_cast<std::size_t>(size) : 0);
  if (file != nullptr && !ReadAll(file, 0, &mine)) why = ReadFailure(file, "file shrank");
  if (file != nullptr) std::fclose(file);  // read only: nothing can be lost at its close
  Bytes wave(static_cast<std::size_t>(part.place.waveLength));
  if (why.empty() && !ReadAll(container, part.place.waveOffset, &wave)) {
    why = ReadFailure(container, "the container shrank");
  }
  if (why.empty() && part.own.dataAt + part.own.dataBytes > mine.size()) why = "it shrank";
  if (!why.empty()) {
    fitting->notFitted = why;
    Complain(path, "not fitted: " + why);
    return false;
  }
  const unsigned char* sound = mine.data() + part.own.dataAt;
  const std::size_t soundBytes = static_cast<std::size_t>(part.own.dataBytes);
  const FitResult fitted =
      FitSound(sound, soundBytes, from, part.own.format.sampleRate, to, part.wave.format.sampleRate,
               static_cast<std::size_t>(part.wave.dataBytes), SeedFromBytes(sound, soundBytes));
  std::copy(fitted.data.begin(), fitted.data.end(),
            wave.begin() + static_cast<std::ptrdiff_t>(part.wave.dataAt));

  // The user's file under a second name first (a link where the file
  // system has them, else a copy), then the fitted part beside it, then the
  // one step that puts it in place: at every moment one whole version has
  // each name.
  fitting->keptAs = part.name + ".orig";
  const std::string kept = dir + fitting->keptAs;
  const std::string fresh = path + ".fitting";
  const Linked linked = LinkFile(path, kept);
  Written keeping = linked == Linked::kDone     ? Written::kDone
                    : linked == Linked::kExists ? Written::kExists
                                                : WriteNew(kept, mine, &why);
  if (linked == Linked::kDone) NoteCreated(kept);
  if (keeping == Written::kExists) {
    // Fitted before, most likely: the user's own file is the one to keep.
    fitting->notFitted = fitting->keptAs + " exists already; nothing changed";
    fitting->keptAs.clear();
    return true;
  }
  bool done = keeping == Written::kDone;
  if (done && WriteNew(fresh, wave, &why) != Written::kDone) {
    if (why.empty()) why = fresh + " exists already";
    done = false;
  }
  if (done && !RenameOver(fresh, path, &why)) {
    why = "cannot rename " + fresh + " to " + part.name + ": " + why;
    if (RemoveFile(fresh)) NoteRemoved(fresh);
    done = false;
  }
  if (done) {
    NoteRemoved(fresh);
    fitting->done = true;
    fitting->dithered = fitted.dithered;
    fitting->clippedSamples = fitted.clippedSamples;
    fitting->cutSeconds = fitted.cutSeconds;
    fitting->paddedSeconds = fitted.paddedSeconds;
    return true;
  }
  // Nothing changed: the part is as it was, and no copy of it is left.
  if (keeping == Written::kDone && RemoveFile(kept)) NoteRemoved(kept);
  fitting->notFitted = why + "; nothing changed";
  fitting->keptAs.clear();
  Complain(path, "not fitted: " + fitting->notFitted);
  return false;
}

bool FitParts(std::FILE* file, const std::string& dir, const RunFiles& files,
              ContainerSummary* container, std::vector<PartFinding>* parts) {
  // Every part wavesplice writes, each with its slot when fitting it would
  // mend all it has: the ones that are then alone are fitted.
  std::vector<std::size_t> writers;
  std::vector<Span> spans;
  std::vector<std::uint64_t> slots;
  for (std::size_t i = 0; i < parts->size(); ++i) {
    PartFinding& part = (*parts)[i];
    if (part.taken != PartName::kPart || !part.refused.empty()) continue;
    const Judgement judgement = Judge(part, container->size);
    part.fitting.asked = !judgement.problems.empty();
    if (part.fitting.asked) part.fitting.notFitted = WhyNotFitted(part, judgement);
    writers.push_back(i);
    spans.push_back({part.offset, part.length});
    slots.push_back(part.fitting.asked && part.fitting.notFitted.empty() ? part.place.waveLength
                                                                         : 0);
  }
  const std::vector<bool> alone = FitsAlone(spans, slots);
  bool done = true;
  for (std::size_t at = 0; at < writers.size(); ++at) {
    PartFinding& part = (*parts)[writers[at]];
    if (slots[at] == 0) continue;
    if (!alone[at]) {
      part.fitting.notFitted = "another part's bytes would still meet its wave's";
      continue;
    }
    Fitting fitting = part.fitting;
    if (!FitPart(file, dir, part, &fitting)) done = false;
    if (!fitting.done) {
      part.fitting = fitting;
      continue;
    }
    ++container->fitted;
    // As it is now: the wave's own bytes but for its samples.
    const Place place = part.place;
    const WaveChunks wave = part.wave;
    part = ReadPart(dir, container->name, part.name);
    part.place = place;
    part.place.overruns = false;
    part.wave = wave;
    part.fitting = fitting;
  }
  if (container->fitted > 0) MeetParts(dir, files, *container, parts);
  return done;
}
