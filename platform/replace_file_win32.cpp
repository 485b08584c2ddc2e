#include "platform/replace_file.h"
#include "platform/system_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

namespace {

// Gives the file open as file the name to, never over another file. The
// system takes the new name as a full path of its own form.
bool RenameHeld(HANDLE file, const std::string& to) {
  char full[MAX_PATH * 4];
  const DWORD fullLength = GetFullPathNameA(to.c_str(), sizeof full, full, nullptr);
  if (fullLength == 0 || fullLength >= sizeof full) return false;
  const std::string name = std::string("\\??\\") + full;
  const int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  if (length <= 0) return false;
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + length * sizeof(WCHAR));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>((length - 1) * sizeof(WCHAR));
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, info->FileName, length);
  return SetFileInformationByHandle(file, FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size())) != 0;
}

// Opens path to move it, shared with no program that would move or remove
// it: while it is open, no save can take its name. Null when it cannot,
// with the system's error.
HANDLE Hold(const std::string& path, DWORD* error) {
  const HANDLE file =
      CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  *error = GetLastError();
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

}  // namespace

Replaced ReplaceVersion(const std::string& fresh, const std::string& path,
                        const FileVersion& version, std::string* err) {
  // Windows has no exchange: the file at path is held while it is looked
  // at and moved aside, and fresh then takes the free name only if no save
  // took it meanwhile.
  DWORD error = 0;
  const HANDLE held = Hold(path, &error);
  if (held == nullptr && error == ERROR_FILE_NOT_FOUND) return Replaced::kChanged;
  if (held == nullptr) {
    *err = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
               ? "in use by another program"
               : SystemMessage(error);
    return Replaced::kFailed;
  }
  // Held, it is the file the name leads to.
  FileVersion now;
  std::string unknown;  // a file that cannot be asked is not the version
  const bool same = VersionOfFile(path, &now, &unknown) && now == version;
  const std::string aside = fresh + ".was";
  const bool moved = same && RenameHeld(held, aside);
  error = GetLastError();
  CloseHandle(held);
  if (!same) return Replaced::kChanged;
  if (!moved) {
    *err = SystemMessage(error);
    return Replaced::kFailed;
  }
  if (MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(aside.c_str());  // the version read: the caller keeps it under a second name
    return Replaced::kDone;
  }
  const DWORD failed = GetLastError();
  if (failed == ERROR_ALREADY_EXISTS || failed == ERROR_FILE_EXISTS) {
    DeleteFileA(aside.c_str());  // a save took the name: it stays
    return Replaced::kChanged;
  }
  *err = SystemMessage(failed);
  if (!MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
    *err += ", and the part could not be given its name back: it is " + aside + " now";
  }
  return Replaced::kFailed;
}
