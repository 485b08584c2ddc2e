#include "waves/replace_waves.h"

#include <cerrno>
#include <cstdio>

#include "platform/file_position.h"
#include "platform/open_file.h"
#include "waves/part_name.h"
#include "waves/part_search.h"
#include "waves/report.h"
#include "waves/splice.h"

namespace {

bool TakePart(std::FILE* file, const std::string& dir, const std::string& container,
              std::uint64_t* size, const std::string& name) {
  std::uint32_t offset = 0;
  switch (TakePartName(name, container, &offset)) {
    case PartName::kWrongLength:
      std::printf("cont: %s, %s, %d, %d\n", name.c_str(), container.c_str(),
                  static_cast<int>(name.size()), static_cast<int>(container.size()));
      return true;
    case PartName::kNoOffset:
      Complain(dir + name, "no offset before the extension; passed over");
      return true;
    case PartName::kPart:
      break;
  }
  return SpliceWave(file, dir + container, size, dir, name, offset);
}

}  // namespace

bool ReplaceWaves(const std::string& dir, const std::string& container) {
  const std::string path = dir + container;
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (file == nullptr) {
    Complain(path, "cannot open for update: " + OpenFailure());
    return false;
  }
  // Each wave is written in one request and nothing is left pending, so a
  // failure is blamed on the part that met it, never found later at the close.
  std::setvbuf(file, nullptr, _IONBF, 0);
  std::uint64_t size = 0;
  if (!FileSize(file, &size)) {
    Complain(path, "cannot open for update", errno);
    std::fclose(file);
    return false;
  }
  bool done = ForEachPartFile(dir, container, [&](const std::string& name) {
    return TakePart(file, dir, container, &size, name);
  });
  if (std::fclose(file) != 0) {
    Complain(path, "cannot write", errno);
    done = false;
  }
  return done;
}
