#include "scan/fit_part.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_identity.h"
#include "platform/open_file.h"
#include "platform/path.h"
#include "platform/replace_file.h"
#include "scan/same_name.h"
#include "scan/wave_bytes.h"
#include "sound/fit_data.h"
#include "sound/format_layout.h"
#include "waves/messages.h"
#include "waves/reading.h"

namespace {

using Bytes = std::vector<unsigned char>;

// How a step of the fit ended: done; stopped by another file in the way, or
// by a part no longer as it was judged, which are no failures; or failed,
// with why.
enum class Written { kDone, kExists, kChanged, kFailed };

constexpr char kChanged[] = "it changed after it was checked";
constexpr char kLeftOver[] =
    " exists already, left by a fit that did not finish: remove it to fit again";

// Creates path, a name of this run's own, and writes bytes to it, on the
// disk before it is closed, with the permissions of the file at modeOf when
// one is named. False, having given why, with nothing left of it; a file
// already there is one a fit that did not finish left.
bool WriteNew(const std::string& path, const Bytes& bytes, const std::string& modeOf,
              std::string* why) {
  std::FILE* file = nullptr;
  bool exists = false;
  std::string err;
  if (!CreateNewFile(path, &file, &exists, &err)) {
    *why = exists ? path + kLeftOver : "cannot create " + path + ": " + err;
    return false;
  }
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (!written) err = std::strerror(errno);
  written = written && (modeOf.empty() || KeepMode(modeOf, file, &err)) && SyncFile(file, &err);
  if (std::fclose(file) != 0 && written) {
    written = false;
    err = std::strerror(errno);
  }
  if (written) return true;
  *why = "cannot write " + path + ": " + err;
  std::string unsaid;  // the write's failure is the one said
  RemoveFile(path, &unsaid);
  return false;
}

// The user's file whole, in *mine, and which version of it: kDone; kChanged
// when it is no longer as it was judged; kFailed with why.
Written ReadMine(const std::string& path, const PartFinding& part, Bytes* mine, FileVersion* read,
                 std::string* why) {
  std::uint64_t size = 0;
  ReadOnlyFile file;
  if (!OpenToRead(path, &file, &size, why)) return Written::kFailed;
  mine->resize(static_cast<std::size_t>(size));
  if (!VersionOfOpenFile(file.get(), read, why)) {
    *why = "cannot read: " + *why;
    return Written::kFailed;
  }
  WaveChunks now;
  if (!ReadAt(file.get(), 0, mine->data(), mine->size(), "it shrank", why) ||
      !ReadChunks(file.get(), 0, std::min<std::uint64_t>(size, part.length), &now, "it shrank",
                  why)) {
    return Written::kFailed;
  }
  const bool same = size >= part.length && now.hasData && SameFormat(now.format, part.own.format) &&
                    now.dataAt == part.own.dataAt && now.dataBytes == part.own.dataBytes;
  // Not the same: another name of it, fitted earlier in the run, or another
  // program changed it.
  return same ? Written::kDone : Written::kChanged;
}

// The user's file, as ReadMine reads it, and the wave it replaces.
Written ReadBoth(std::FILE* container, const std::string& path, const PartFinding& part,
                 Bytes* mine, FileVersion* read, Bytes* wave, std::string* why) {
  const Written mineRead = ReadMine(path, part, mine, read, why);
  if (mineRead != Written::kDone) return mineRead;
  wave->resize(static_cast<std::size_t>(part.place.waveLength));
  return ReadAt(container, part.place.waveOffset, wave->data(), wave->size(),
                "the container shrank", why)
             ? Written::kDone
             : Written::kFailed;
}

// Whether a file named kept but for letter case is there, its name then
// given as it is spelt, and if so whether it is the part itself under a
// second name, as a fit that did not finish leaves it: a second hard link,
// never a symbolic one, which holds nothing once the part is replaced.
bool KeptAlready(const std::string& dir, std::string* kept, const std::string& part, bool* same) {
  const std::vector<std::string> there = SameNames(dir, *kept);
  if (there.empty()) return false;
  *kept = there.front();  // as it is spelt, which may be .ORIG
  FileIdentity a;
  FileIdentity b;
  *same =
      IdentifySecondName(PathIn(dir, *kept), &a) && IdentifyFile(PathIn(dir, part), &b) && a == b;
  return true;
}

// Whether the files at a and b are two files holding the same bytes; false
// for one file under two names (a symbolic link too), and when either
// cannot be read.
bool SameContents(const std::string& a, const std::string& b) {
  FileIdentity identityA;
  FileIdentity identityB;
  if (IdentifyFile(a, &identityA) && IdentifyFile(b, &identityB) && identityA == identityB) {
    return false;
  }
  std::uint64_t sizeA = 0;
  std::uint64_t sizeB = 0;
  std::string unsaid;  // a file not read is no copy to speak of
  ReadOnlyFile fileA;
  ReadOnlyFile fileB;
  bool same = false;
  return OpenToRead(a, &fileA, &sizeA, &unsaid) && OpenToRead(b, &fileB, &sizeB, &unsaid) &&
         sizeA == sizeB && SameBytes(fileA.get(), 0, fileB.get(), 0, sizeA, &same, &unsaid) && same;
}

// Why a kept name that is not the part's second name is in the way, and
// what it is: where no link can be made, a fit that did not finish leaves
// a whole copy of the part as it was, and maybe the part's .fitting beside
// it, which removed let the part be fitted again.
std::string InTheWay(const std::string& dir, const std::string& kept, const std::string& part) {
  const bool copy = SameContents(PathIn(dir, kept), PathIn(dir, part));
  const std::string fresh = part + ".fitting";
  const bool leftOver = !SameNames(dir, fresh).empty();
  std::string words = kept + " exists already";
  if (copy) words += ", a whole copy of the part as it was";
  if (leftOver) words += ", and " + fresh + " is left by a fit that did not finish";
  if (copy) words += leftOver ? ": remove both to fit it again" : ": remove it to fit it again";
  return words;
}

// Gives the user's file at path the second name kept: a link where the
// file system has them, else a copy written under another name and then
// given this one, so that no half copy ever has it.
Written Keep(const std::string& path, const std::string& kept, const Bytes& mine,
             std::string* why) {
  const Linked linked = LinkFile(path, kept);
  if (linked == Linked::kExists) return Written::kExists;
  // Should a save have taken path's name since it was read, this is a name
  // of the save, removed again when the save is found in place.
  if (linked == Linked::kDone) return Written::kDone;
  const std::string copy = kept + ".fitting";
  if (!WriteNew(copy, mine, "", why)) return Written::kFailed;
  if (RenameNew(copy, kept, why)) return Written::kDone;
  *why = "cannot rename " + copy + " to " + kept + ": " + *why;
  std::string unsaid;  // the rename's failure is the one said
  RemoveFile(copy, &unsaid);
  return Written::kFailed;
}

// Puts the file fresh in place of path's only while path still holds the
// version read. Written::kChanged, with path as another program left it
// and fresh gone, when it does not.
Written Replace(const std::string& fresh, const std::string& path, const FileVersion& read,
                std::string* why) {
  FileVersion ours;
  std::string err;
  if (!VersionOfFile(fresh, &ours, &err)) {
    *why = "cannot look at " + fresh + ": " + err;
    return Written::kFailed;
  }
  const Replaced replaced = ReplaceVersion(fresh, path, read, why);
  if (replaced == Replaced::kDone) return Written::kDone;
  // Only this run's own file is removed: never a save made meanwhile.
  FileVersion left;
  if (VersionOfFile(fresh, &left, &err) && left == ours) RemoveFile(fresh, &err);
  if (replaced == Replaced::kFailed) {
    *why = "cannot rename " + fresh + " to its part's name: " + *why;
    return Written::kFailed;
  }
  return Written::kChanged;
}

// The wave with the part's sound, converted, in place of its samples.
FitResult Convert(const PartFinding& part, const Bytes& mine, Bytes* wave) {
  const unsigned char* sound = mine.data() + part.own.dataAt;
  const auto soundBytes = static_cast<std::size_t>(part.own.dataBytes);
  FitResult fitted;
  if (KeepsItsSamples(part)) {
    fitted.data.assign(sound, sound + soundBytes);
  } else {
    // Both were found to be layouts --fit converts before the part was
    // taken to be fitted.
    DataLayout from;
    DataLayout to;
    std::string judged;
    LayoutOf(part.own.format, Use::kRead, &from, &judged);
    LayoutOf(part.wave.format, Use::kWrite, &to, &judged);
    fitted = FitData(sound, soundBytes, from, part.own.format.sampleRate, to,
                     part.wave.format.sampleRate, static_cast<std::size_t>(part.wave.dataBytes),
                     SeedFromBytes(sound, soundBytes));
  }
  std::copy(fitted.data.begin(), fitted.data.end(),
            wave->begin() + static_cast<std::ptrdiff_t>(part.wave.dataAt));
  return fitted;
}

// The user's file under its second name kept first (unless a fit that did
// not finish left it there), then the fitted part beside it, then the one
// step that puts it in place at path. Written::kExists when kept has
// another file; kChanged when path is no longer the version read; kFailed,
// with why; nothing changed but for these.
Written PutInPlace(const std::string& path, const std::string& kept, bool interrupted,
                   const Bytes& mine, const FileVersion& read, const Bytes& wave,
                   std::string* why) {
  const Written keeping = interrupted ? Written::kDone : Keep(path, kept, mine, why);
  if (keeping != Written::kDone) return keeping;
  const std::string fresh = path + ".fitting";
  const Written put =
      WriteNew(fresh, wave, path, why) ? Replace(fresh, path, read, why) : Written::kFailed;
  if (put == Written::kDone) return put;
  // No copy of the part is left that this run made, or it is said, as a
  // failure, whatever else stopped the fit.
  std::string err;
  if (!interrupted && !RemoveFile(kept, &err)) {
    if (put == Written::kChanged) *why = kChanged;
    *why += "; " + kept + " could not be removed: " + err;
    return Written::kFailed;
  }
  return put;
}

}  // namespace

bool KeepsItsSamples(const PartFinding& part) {
  return part.own.hasFormat && part.wave.hasFormat &&
         SameFormat(part.own.format, part.wave.format) &&
         part.own.format.samplesPerBlock == part.wave.format.samplesPerBlock &&
         part.own.dataBytes == part.wave.dataBytes;
}

bool FitPart(std::FILE* container, const std::string& dir, PartFinding* finding) {
  const PartFinding& part = *finding;
  Fitting* fitting = &finding->fitting;
  const std::string path = PathIn(dir, part.name);
  fitting->from = part.own.format;
  fitting->to = part.wave.format;
  std::string keptName = part.name + ".orig";
  bool interrupted = false;
  if (KeptAlready(dir, &keptName, part.name, &interrupted) && !interrupted) {
    fitting->notFitted = InTheWay(dir, keptName, part.name) + "; nothing changed";
    return true;
  }
  Bytes mine;
  FileVersion read;
  Bytes wave;
  std::string why;
  Written put = ReadBoth(container, path, part, &mine, &read, &wave, &why);
  const FitResult fitted = put == Written::kDone ? Convert(part, mine, &wave) : FitResult();
  if (put == Written::kDone) {
    put = PutInPlace(path, PathIn(dir, keptName), interrupted, mine, read, wave, &why);
  }
  if (put == Written::kExists || put == Written::kChanged) {
    // Another file is in the way, or another name changed it: no failure.
    fitting->notFitted =
        (put == Written::kExists ? keptName + " exists already" : kChanged) + "; nothing changed";
    return true;
  }
  if (put != Written::kDone) {
    fitting->notFitted = why + "; nothing changed";
    Complain(path, "not fitted: " + fitting->notFitted);
    return false;
  }
  fitting->done = true;
  fitting->keptAs = keptName;
  fitting->dithered = fitted.dithered;
  fitting->clippedSamples = fitted.clippedSamples;
  fitting->invalidSamples = fitted.invalidSamples;
  fitting->cutSeconds = fitted.cutSeconds;
  fitting->paddedSeconds = fitted.paddedSeconds;
  for (const ChunkSize& chunk : part.wave.order) {
    if (chunk.id != "data") fitting->keptChunks.push_back(chunk.id);
  }
  // It holds the wave's every byte but its samples, whose chunks say the
  // same of them.
  finding->own = part.wave;
  finding->length = static_cast<std::uint32_t>(part.place.waveLength);
  return true;
}
