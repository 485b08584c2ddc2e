// Putting a new file in place of another only while that one is still the
// version a program read, so that a save another program makes meanwhile
// is never replaced unseen.
#pragma once

#include <string>

#include "platform/file_identity.h"

enum class Replaced { kDone, kChanged, kFailed };

// Gives the file at fresh the name path, in place of the file there, in one
// step, only while that is still version: kDone, fresh gone. kChanged when
// path holds another file or version: path as the other program left it,
// fresh as it was, or, when another save took its place in that very
// moment, that save. kFailed with *err: both as they were.
Replaced ReplaceVersion(const std::string& fresh, const std::string& path,
                        const FileVersion& version, std::string* err);
