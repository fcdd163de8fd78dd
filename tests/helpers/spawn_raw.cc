// Test helper for the Windows suite: starts the command line found in the
// LORVINK_COMMAND_LINE environment variable exactly as written, so tests can
// hand the tool quote pairs and quoted runs that no argv quoting produces.
// Exits with the child's exit status.
#include <windows.h>

int main() {
  static char line[32768];
  const DWORD n = GetEnvironmentVariableA("LORVINK_COMMAND_LINE", line, sizeof line);
  if (n == 0 || n >= sizeof line) return 120;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 121;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 122;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}
