// Offsets from arbitrary names: no read outside the name, and every name of
// the form container, "_", eight hex digits in either case, ".wav" gives the
// value of those digits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "waves/part_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The view is of the fuzzer's own buffer, so a read past it is caught.
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  std::uint32_t offset = 0;
  DecodePartOffset(name, &offset);

  // Bytes 0 to 3 give an offset, bit 0 of byte 4 the digits' case, the rest
  // the container's name.
  if (size < 5) return 0;
  const std::uint32_t value =
      data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  char digits[9];
  std::snprintf(digits, sizeof digits, (data[4] & 1) != 0 ? "%08X" : "%08x", value);
  const std::string part = std::string(name.substr(5)) + "_" + digits + ".wav";
  if (!DecodePartOffset(part, &offset) || offset != value) std::abort();
  return 0;
}
