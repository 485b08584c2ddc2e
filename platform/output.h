// Standard output and standard error: the one way both programs write to
// them.
#pragma once

#include <string>
#include <string_view>

enum class Stream { kOutput, kError };

// Writes text, UTF-8 with lines ending in "\n". To a Windows console it goes
// as characters, so that every name shows as it is spelt whatever the
// console's code page; anywhere else as its bytes, with CRLF line ends on
// Windows. Standard output is flushed before anything goes to standard
// error, so that a combined log keeps the order of events. A failure of
// standard output is kept for EndOutput.
void Print(Stream stream, std::string_view text);

// Flushes standard output at the end of a run: true when everything written
// to it arrived, or when it had nowhere to go (a Windows program started
// without one); else false with the system's reason for the first loss.
bool EndOutput(std::string* err);
