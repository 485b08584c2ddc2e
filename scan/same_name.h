// Files of one folder whose names differ only in letter case, which a
// case-sensitive file system allows and the programs' search matches alike.
#pragma once

#include <string>
#include <vector>

// The regular files in dir, the only ones wavesplice splices into, whose
// names equal name but for the case of letters, name itself included when
// it is there.
std::vector<std::string> SameNames(const std::string& dir, const std::string& name);
