#include "waves/part_search.h"

#include <cerrno>
#include <cstdio>

#include "platform/find.h"
#include "waves/report.h"
#include "waves/splice.h"

namespace {

bool TakePart(std::FILE* file, const std::string& dir, const std::string& container,
              const std::string& name) {
  if (name.size() != PartNameLength(container)) {
    std::printf("cont: %s, %s, %d, %d\n", name.c_str(), container.c_str(),
                static_cast<int>(name.size()), static_cast<int>(container.size()));
    return true;
  }
  std::uint32_t offset = 0;
  if (!DecodePartOffset(name, &offset)) {
    // Only a search matching a file's short alias returns such a name.
    Complain(dir + name, "no offset before the extension; passed over");
    return true;
  }
  return SpliceWave(file, dir + container, dir, name, offset);
}

}  // namespace

bool ForEachPartFile(const std::string& dir, const std::string& container,
                     const std::function<bool(const std::string& name)>& take) {
  bool done = true;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + container + "_*.wav").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  do {
    if (IsPartFileOf(found.cFileName, container) && !take(found.cFileName)) done = false;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return done;
}

bool ReplaceWaves(const std::string& dir, const std::string& container) {
  const std::string path = dir + container;
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (file == nullptr) {
    Complain(path, "cannot open for update", errno);
    return false;
  }
  bool done = ForEachPartFile(dir, container, [&](const std::string& name) {
    return TakePart(file, dir, container, name);
  });
  if (std::fclose(file) != 0) {
    Complain(path, "cannot write", errno);
    done = false;
  }
  return done;
}
