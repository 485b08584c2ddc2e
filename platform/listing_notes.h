// What the directory search's own listings learn of the files a run
// creates and removes. Where the search is ours it keeps each folder's
// listing for the run, and the functions of open_file.h that create, link,
// rename and remove a file tell it here, so that later searches see the
// folder as the system's own search would; no other caller needs to.
// Nothing on Windows, whose search asks the system each time.
#pragma once

#include <string>

void NoteCreated(const std::string& path);
void NoteRemoved(const std::string& path);
