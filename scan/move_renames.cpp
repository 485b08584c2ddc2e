#include "scan/move_renames.h"

#include <cerrno>
#include <cstring>

#include "platform/open_file.h"
#include "platform/path.h"
#include "waves/messages.h"
#include "waves/reading.h"

namespace {

// A record's first line says what it is; then the versions' signature, and
// names, each ending in a NUL, the one byte no name holds.
constexpr char kRenames[] = "wavescan --moved-from renames\n";
constexpr char kMoved[] = "wavescan --moved-from moved\n";

// The record while files get their moving names, once they all have, and
// of the names that hold moved parts.
std::string Started(const std::string& dir, const std::string& container) {
  return PathIn(dir, container + ".moving");
}
std::string Halfway(const std::string& dir, const std::string& container) {
  return PathIn(dir, container + ".placing");
}
std::string Moved(const std::string& dir, const std::string& container) {
  return PathIn(dir, container + ".moved");
}

bool WriteRecord(const std::string& path, const char* header, const std::string& signature,
                 const std::vector<std::string>& names) {
  std::string text = header + signature + "\n";
  for (const std::string& name : names) text += name + '\0';
  std::FILE* file = nullptr;
  bool exists = false;
  std::string err;
  if (!CreateNewFile(path, &file, &exists, &err)) {
    Complain(path, "cannot create it: " + err);
    return false;
  }
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (!written) err = std::strerror(errno);
  written = written && SyncFile(file, &err);
  if (std::fclose(file) != 0 && written) {
    written = false;
    err = std::strerror(errno);
  }
  if (written) return true;
  Complain(path, "cannot write it: " + err);
  std::string unsaid;  // the write's failure is the one said
  RemoveFile(path, &unsaid);
  return false;
}

// The record's signature and names; false with *why when it cannot be read
// or is no record of ours.
bool ReadRecord(const std::string& path, const char* header, std::string* signature,
                std::vector<std::string>* names, std::string* why) {
  std::uint64_t size = 0;
  ReadOnlyFile file;
  if (!OpenToRead(path, &file, &size, why)) return false;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (std::fread(&text[0], 1, text.size(), file.get()) != text.size()) {
    return ReadFailed(file.get(), "it shrank", why);
  }
  const std::size_t line = text.find('\n', std::strlen(header));
  if (text.rfind(header, 0) != 0 || line == std::string::npos ||
      (line + 1 < text.size() && text.back() != '\0')) {
    *why = "not a record of wavescan --moved-from; nothing is moved until it is removed";
    return false;
  }
  *signature = text.substr(std::strlen(header), line - std::strlen(header));
  for (std::size_t at = line + 1; at < text.size();) {
    const std::size_t end = text.find('\0', at);
    names->push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return true;
}

bool Rename1(const std::string& dir, const std::string& from, const std::string& to) {
  std::string why;
  if (!RenameNew(PathIn(dir, from), PathIn(dir, to), &why)) {
    Complain(PathIn(dir, from), "cannot rename it to " + to + ": " + why);
    return false;
  }
  return true;
}

bool Forget(const std::string& path) {
  std::string err;
  if (!RemoveFile(path, &err)) {
    Complain(path, "cannot remove it: " + err);
    return false;
  }
  return true;
}

// Gives each file still under its moving name its name from before
// (back) or its target; counts them in *count. False when one could not be.
bool Settle(const std::string& dir, const std::vector<Rename>& renames, bool back,
            std::size_t* count) {
  bool done = true;
  for (const Rename& rename : renames) {
    const std::string moving = MovingName(rename.from);
    if (!IsRegularFile(PathIn(dir, moving))) continue;
    if (Rename1(dir, moving, back ? rename.from : rename.to)) {
      ++*count;
    } else {
      done = false;
    }
  }
  return done;
}

// Adds targets to the record of the names that hold moved parts, which
// starts afresh for other versions.
bool AddMoved(const std::string& dir, const std::string& container, const std::string& signature,
              const std::vector<std::string>& targets) {
  const std::string path = Moved(dir, container);
  std::vector<std::string> names = MovedBefore(dir, container, signature);
  if (IsRegularFile(path) && !Forget(path)) return false;
  names.insert(names.end(), targets.begin(), targets.end());
  return WriteRecord(path, kMoved, signature, names);
}

std::vector<std::string> Targets(const std::vector<Rename>& renames) {
  std::vector<std::string> targets(renames.size());
  for (std::size_t i = 0; i < renames.size(); ++i) targets[i] = renames[i].to;
  return targets;
}

std::vector<std::string> Flat(const std::vector<Rename>& renames) {
  std::vector<std::string> names;
  for (const Rename& rename : renames) {
    names.push_back(rename.from);
    names.push_back(rename.to);
  }
  return names;
}

}  // namespace

std::vector<std::string> MovedBefore(const std::string& dir, const std::string& container,
                                     const std::string& signature) {
  std::string said;
  std::vector<std::string> names;
  std::string why;
  if (!IsRegularFile(Moved(dir, container)) ||
      !ReadRecord(Moved(dir, container), kMoved, &said, &names, &why) || said != signature) {
    return {};
  }
  return names;
}

bool MakeRenames(const std::string& dir, const std::string& container, const std::string& signature,
                 const std::vector<Rename>& renames, std::vector<bool>* made) {
  made->assign(renames.size(), false);
  if (renames.empty()) return true;
  const std::string started = Started(dir, container);
  if (!WriteRecord(started, kRenames, signature, Flat(renames))) return false;
  for (const Rename& rename : renames) {
    if (!Rename1(dir, rename.from, MovingName(rename.from))) {
      std::size_t count = 0;
      if (Settle(dir, renames, true, &count)) Forget(started);
      return false;
    }
  }
  std::string why;
  const std::string halfway = Halfway(dir, container);
  if (!RenameNew(started, halfway, &why)) {
    Complain(started, "cannot rename it to " + halfway + ": " + why +
                          "; the next run with --moved-from puts the parts back");
    return false;
  }
  bool done = true;
  for (std::size_t i = 0; i < renames.size(); ++i) {
    (*made)[i] = Rename1(dir, MovingName(renames[i].from), renames[i].to);
    if (!(*made)[i]) done = false;
  }
  if (!done) {
    Complain(halfway, "left for the next run with --moved-from, which finishes the renames");
    return false;
  }
  return AddMoved(dir, container, signature, Targets(renames)) && Forget(halfway);
}

bool FinishStoppedRun(const std::string& dir, const std::string& container, std::string* found) {
  const bool finish = IsRegularFile(Halfway(dir, container));
  const std::string record = finish ? Halfway(dir, container) : Started(dir, container);
  if (!finish && !IsRegularFile(record)) return true;
  std::string signature;
  std::vector<std::string> names;
  std::string why;
  if (!ReadRecord(record, kRenames, &signature, &names, &why)) {
    Complain(record, why);
    return false;
  }
  if (names.size() % 2 != 0) {
    Complain(record, "not a record of wavescan --moved-from");
    return false;
  }
  std::vector<Rename> renames;
  for (std::size_t i = 0; i < names.size(); i += 2) renames.push_back({names[i], names[i + 1]});
  std::size_t count = 0;
  if (!Settle(dir, renames, !finish, &count) ||
      (finish && !AddMoved(dir, container, signature, Targets(renames))) || !Forget(record)) {
    return false;
  }
  *found =
      "found renames a run of wavescan --moved-from stopped before it had made them all: " +
      (finish ? "finished " + std::to_string(count) + " of them"
              : "undid " + std::to_string(count) + ", so that each file has its name from before");
  return true;
}
