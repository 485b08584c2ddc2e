#include "waves/part_name.h"

#include <cctype>
#include <cstdio>

#include "platform/name_key.h"

namespace {

constexpr std::size_t kOffsetDigits = 8;
constexpr std::size_t kPartSuffixLength = 1 + kOffsetDigits + 4;  // "_", the digits, ".wav"

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

PartName TakePartName(const std::string& name, const std::string& container,
                      std::uint32_t* offset) {
  if (name.size() != PartNameLength(container)) return PartName::kWrongLength;
  return DecodePartOffset(name, offset) ? PartName::kPart : PartName::kNoOffset;
}

bool IsPartFileOf(const std::string& name, const std::string& container) {
  const std::u32string start = KeyOf(container + "_");
  return KeyOf(name).compare(0, start.size(), start) == 0;
}

std::size_t PartNameLength(const std::string& container) {
  return container.size() + kPartSuffixLength;
}

bool DecodePartOffset(std::string_view name, std::uint32_t* offset) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot < kOffsetDigits) return false;
  // The '.' is none of the bytes accepted below, so every scan stops there.
  std::size_t i = dot - kOffsetDigits;
  while (IsBlank(name[i])) ++i;
  const bool negative = name[i] == '-';
  if (name[i] == '+' || name[i] == '-') ++i;
  if (name[i] == '0' && (name[i + 1] == 'x' || name[i + 1] == 'X')) i += 2;
  std::uint32_t value = 0;
  for (; HexValue(name[i]) >= 0; ++i)
    value = value * 16 + static_cast<std::uint32_t>(HexValue(name[i]));
  *offset = negative ? 0u - value : value;
  return true;
}

bool HasWaveExtension(const std::string& name) {
  if (name.size() < 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[name.size() - 4 + i])) != ".wav"[i]) {
      return false;
    }
  }
  return true;
}

std::string PartFileName(const std::string& container, std::uint32_t offset) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "_%08x.wav", static_cast<unsigned>(offset));
  return container + digits;
}
