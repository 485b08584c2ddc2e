#include "waves/replace_waves.h"

#include <cerrno>
#include <cstdio>

#include "platform/open_file.h"
#include "platform/output.h"
#include "platform/path.h"
#include "waves/messages.h"
#include "waves/part_name.h"
#include "waves/part_search.h"
#include "waves/splice.h"

namespace {

bool TakePart(OpenContainer* opened, const std::string& dir, const std::string& container,
              const std::string& name) {
  std::uint32_t offset = 0;
  switch (TakePartName(name, container, &offset)) {
    case PartName::kWrongLength:
      Print(Stream::kOutput, "cont: " + Shown(name) + ", " + Shown(container) + ", " +
                                 std::to_string(name.size()) + ", " +
                                 std::to_string(container.size()) + "\n");
      return true;
    case PartName::kNoOffset:
      Complain(PathIn(dir, name), "no offset before the extension; passed over");
      return true;
    case PartName::kPart:
      break;
  }
  return SpliceWave(opened, dir, name, offset);
}

}  // namespace

bool ReplaceWaves(const std::string& dir, const std::string& container) {
  OpenContainer opened;
  opened.path = PathIn(dir, container);
  bool regular = true;
  std::string err;
  if (!OpenForUpdate(opened.path, &opened.file, &opened.size, &opened.holes, &regular, &err)) {
    Complain(opened.path, regular ? "cannot open for update: " + err : err);
    return false;
  }
  bool done = ForEachPartFile(dir, container, [&](const std::string& name) {
    return TakePart(&opened, dir, container, name);
  });
  if (std::fclose(opened.file) != 0) {
    Complain(opened.path, "cannot write", errno);
    done = false;
  }
  return done;
}
