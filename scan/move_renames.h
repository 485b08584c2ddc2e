// Making a run's renames so that a run stopped at any point loses nothing:
// each file is first given its moving name, then its new one, and a record
// of the renames beside the container says which of the two steps was
// under way, so that the next run can undo the first or finish the second.
#pragma once

#include <string>
#include <vector>

#include "scan/move_plan.h"

// Makes renames (names in dir) for container: each from to its moving
// name, then each to its target. False, having said why on standard error,
// when a rename failed; *made then says which were made whole: a failure in
// the first step undoes it, one in the second leaves the record for the
// next run to finish.
// signature names the two versions the renames are for: the names they
// give are kept in a record beside the container, so that another run for
// the same versions takes them as moved already.
bool MakeRenames(const std::string& dir, const std::string& container, const std::string& signature,
                 const std::vector<Rename>& renames, std::vector<bool>* made);

// The names that hold parts moved by earlier runs for the versions that
// signature names.
std::vector<std::string> MovedBefore(const std::string& dir, const std::string& container,
                                     const std::string& signature);

// What a run that stopped half-way left for container: "" when nothing;
// else what was found and done about it. False, having said why on
// standard error, when it could not be set right; no file is moved then.
bool FinishStoppedRun(const std::string& dir, const std::string& container, std::string* found);
