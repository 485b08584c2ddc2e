// Names that lead to one file: two containers of a run that are one file
// (a hard or symbolic link), or a part file that is a container. wavesplice
// would then splice one name's parts over the other's, or a container's own
// bytes into a container.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Each file the run's containers are, with their names in run order.
using RunFiles = std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<std::string>>;

// The files of the containers named, all in dir.
RunFiles IdentifyContainers(const std::string& dir, const std::vector<std::string>& names);

// The run's containers that the file at dir + name is, in run order; name
// itself among them when it is one.
std::vector<std::string> ContainersItIs(const RunFiles& files, const std::string& dir,
                                        const std::string& name);

// names without name.
std::vector<std::string> OtherThan(std::vector<std::string> names, const std::string& name);
