// The tool's entry point on POSIX systems.
#include <unistd.h>

#include "command_line.h"
#include "dump.h"
#include "platform-posix.h"

int main(int argc, char** argv) {
  lorvink::PosixPlatform platform;
  const int status = lorvink::RunTool(lorvink::PosixArgument1(argc, argv), platform);
  // Everything is already written and closed where it had to be: skip the
  // library's exit work, as the end of the process releases what is held.
  _exit(status);
}
