#include "app/help.h"

#include <string>

#include "platform/command_line.h"
#include "platform/output.h"
#include "waves/messages.h"

Request RequestIn(const std::string& arg) {
  if (arg == "--help" || IsPlatformHelpSwitch(arg)) return Request::kHelp;
  return arg == "--version" ? Request::kVersion : Request::kNone;
}

const char* ProgramVersion() { return WAVESPLICE_VERSION; }

int AnswerRequest(Request request, const char* program, const char* usage,
                  const char* description) {
  if (request == Request::kVersion) {
    Print(Stream::kOutput, std::string(program) + " " + ProgramVersion() + "\n");
  } else {
    Print(Stream::kOutput, std::string(usage) + "\n" + description);
  }
  return FinishOutput() ? 0 : 1;
}
