#include <cstring>

#include "platform/system_error.h"

std::string SystemMessage(unsigned long error) { return std::strerror(static_cast<int>(error)); }
