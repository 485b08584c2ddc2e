#include "app/help.h"

#include <cstdio>

#include "platform/console.h"
#include "waves/messages.h"

Request RequestIn(const std::string& arg) {
  if (arg == "--help" || IsPlatformHelpSwitch(arg)) return Request::kHelp;
  return arg == "--version" ? Request::kVersion : Request::kNone;
}

const char* ProgramVersion() { return WAVESPLICE_VERSION; }

int AnswerRequest(Request request, const char* program, const char* usage,
                  const char* description) {
  if (request == Request::kVersion) {
    std::printf("%s %s\n", program, ProgramVersion());
  } else {
    std::printf("%s\n%s", usage, description);
  }
  return FinishOutput() ? 0 : 1;
}
