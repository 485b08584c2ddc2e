// Unicode's upper-case mapping through glibc's C.UTF-8 locale, which Debian
// always has (it comes with libc-bin).
#include <locale.h>
#include <wctype.h>

#include "platform/name_key.h"

namespace {

// Where a byte starts no UTF-8 sequence: past every character, and never
// equal to one.
constexpr char32_t kLoneByte = 0x110000;

// Null when the locale cannot be had (LOCPATH pointing elsewhere): only
// ASCII letters fold then.
locale_t Unicode() {
  static const locale_t locale =
      newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

char32_t Upper(char32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
  const locale_t locale = Unicode();
  if (locale == nullptr || c > 0xffff) return c;
  const wint_t upper = towupper_l(static_cast<wint_t>(c), locale);
  return towlower_l(upper, locale) == c ? static_cast<char32_t>(upper) : c;
}

// The character that starts at name[n] and its length in bytes; a lone
// byte, length 1, where no well-formed sequence starts.
char32_t Decode(std::string_view name, std::size_t n, std::size_t* length) {
  const auto byte = [&name](std::size_t i) { return static_cast<unsigned char>(name[i]); };
  const unsigned char lead = byte(n);
  *length = 1;
  if (lead < 0x80) return lead;
  const std::size_t size = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 0;
  if (size == 0 || n + size > name.size()) return kLoneByte + lead;
  char32_t c = lead & (0x7f >> size);
  for (std::size_t i = 1; i < size; ++i) {
    if ((byte(n + i) & 0xc0) != 0x80) return kLoneByte + lead;
    c = c << 6 | (byte(n + i) & 0x3f);
  }
  // The shortest form only, and no surrogate halves.
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[size] || c > 0x10ffff || (c >= 0xd800 && c < 0xe000)) return kLoneByte + lead;
  *length = size;
  return c;
}

}  // namespace

std::u32string KeyOf(std::string_view name) {
  std::u32string key;
  key.reserve(name.size());
  for (std::size_t n = 0, length = 1; n < name.size(); n += length) {
    key.push_back(Upper(Decode(name, n, &length)));
  }
  return key;
}
