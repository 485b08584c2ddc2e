// The bytes a part writes into its container: where, and how many.
#pragma once

#include <cstdint>

struct Span {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};
