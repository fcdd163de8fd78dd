// The tool's entry point on Windows: the command line comes whole from the
// system and is split by the tool's own rule.
#include <windows.h>

#include <string>

#include "command_line.h"
#include "dump.h"
#include "platform-win32.h"

int main() {
  lorvink::Win32Platform platform;
  const std::string argument = lorvink::WindowsArgument(GetCommandLineA(), 1);
  ExitProcess(static_cast<UINT>(lorvink::RunTool(argument.c_str(), platform)));
}
