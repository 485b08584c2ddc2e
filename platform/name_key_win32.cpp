// Windows' own upper-case table, the one its file systems compare names by.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/name_key.h"

namespace {

bool IsSurrogate(wchar_t unit) { return unit >= 0xd800 && unit < 0xe000; }

// For bytes the code page cannot read: ASCII letters fold, and every other
// byte is an element of its own, past every character.
std::u32string ByteKey(std::string_view name) {
  std::u32string key;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    key.push_back(byte >= 0x80                 ? 0x110000 + byte
                  : byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A'
                                               : byte);
  }
  return key;
}

}  // namespace

std::u32string KeyOf(std::string_view name) {
  if (name.empty()) return {};
  // Names come in the process's code page: UTF-8 where the manifest holds.
  const int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(),
                                       static_cast<int>(name.size()), nullptr, 0);
  if (size <= 0) return ByteKey(name);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  std::wstring upper(wide.size(), L'\0');
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()),
                          wide.data(), size) != size ||
      LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), size, upper.data(), size,
                    nullptr, nullptr, 0) != size) {
    return ByteKey(name);
  }
  std::u32string key;
  key.reserve(wide.size());
  // LCMapStringEx may fold a pair of surrogates as one character; the file
  // systems' table takes each half alone and folds neither.
  for (std::size_t i = 0; i < wide.size(); ++i) {
    key.push_back(IsSurrogate(wide[i]) ? wide[i] : upper[i]);
  }
  return key;
}
