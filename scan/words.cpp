#include "scan/words.h"

std::string Bytes(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::string Joined(const std::vector<std::string>& items, const char* between) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : between) + item;
  return text;
}

std::string ChunkId(const std::string& id) {
  std::string text = "'";
  for (const char c : id) text += c >= ' ' && c <= '~' ? c : '?';
  return text + "'";
}
