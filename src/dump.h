// The tool's main procedure: one run from argument to exit status.
#ifndef LORVINK_DUMP_H_
#define LORVINK_DUMP_H_

#include "console_writer.h"
#include "platform.h"
#include "run_failure.h"

namespace lorvink {

// How a run ended: normally (usage, version message, or a completed dump;
// exit status 0) or with the failure of one step.
struct DumpResult {
  bool failed = false;
  RunFailure failure{};
};

// Dumps the entities lump of the BSP file at |argument|, or prints the usage
// text when it is null or empty. Every step is checked at once and the first
// that fails ends the run; nothing is retried or cleaned up, and what is
// still open or held is left for the end of the process.
DumpResult RunDump(const char* argument, Platform& platform, ConsoleWriter& out);

// Writes the failure report for |failure|. Returns false when standard output
// refused it; there is then nobody left to tell.
bool ReportFailure(const RunFailure& failure, Platform& platform, ConsoleWriter& out);

// The whole process: the dump, the report if it failed, the last flush.
// Returns the exit status.
int RunTool(const char* argument, Platform& platform);

}  // namespace lorvink

#endif  // LORVINK_DUMP_H_
