// A container's part files as wavesplice would take them, read and set
// against one another, for wavescan's check.
#pragma once

#include <string>
#include <vector>

#include "scan/findings.h"
#include "scan/same_file.h"

// Searches dir for container's part files and reads each one, in search
// order, with where wavesplice would meet other files on its way: parts for
// one offset, parts whose bytes overlap, a part that is a container of the
// run (files), a container named as this one but for case, and the
// container's own state (container). False when the search failed, said on
// standard error and in container->error.
bool FindParts(const std::string& dir, const RunFiles& files, ContainerSummary* container,
               std::vector<PartFinding>* parts);

// Reads one part of container's, found in dir under name, as FindParts does.
PartFinding ReadPart(const std::string& dir, const std::string& container, const std::string& name);

// Finds again where the parts meet one another and other files, after any
// of them changed.
void MeetParts(const std::string& dir, const RunFiles& files, const ContainerSummary& container,
               std::vector<PartFinding>* parts);
