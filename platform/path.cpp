#include "platform/path.h"

std::string PathIn(const std::string& folder, const std::string& name) {
  if (DirPartLength(folder) == folder.size()) return folder + name;
  return folder + "/" + name;
}
