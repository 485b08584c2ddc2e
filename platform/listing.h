// The directory search keeps each folder's sorted listing for the run; the
// files the run itself creates or removes are entered into it here, so that
// a later search sees them as the platform's own search would.
#pragma once

#include <string>

void ListingGained(const std::string& path);
void ListingLost(const std::string& path);
