#include "dump.h"

#include <new>
#include <string>

#include "bsp_header.h"
#include "failure_report.h"
#include "output_path.h"
#include "text_format.h"

namespace lorvink {

namespace {

DumpResult Failed(const RunFailure& failure) { return DumpResult{true, failure}; }

}  // namespace

DumpResult RunDump(const char* argument, Platform& platform, ConsoleWriter& out) {
  if (argument == nullptr || argument[0] == '\0') {
    if (int32_t c = out.WriteLine("Usage:"); c != code::kOk) {
      return Failed(InOutError<Step::kUsageLine1>(c));
    }
    if (int32_t c = out.WriteLine("lorvink \"bspfilename\""); c != code::kOk) {
      return Failed(InOutError<Step::kUsageLine2>(c));
    }
    if (int32_t c = out.WriteLine("Dumps the entities of a bsp file to a text file"); c != code::kOk) {
      return Failed(InOutError<Step::kUsageLine3>(c));
    }
    return DumpResult{};
  }

  FileHandle file = 0;
  FileIdentity input_identity;
  if (int32_t c = platform.OpenExisting(argument, &file, &input_identity); c != code::kOk) {
    return Failed(InOutError<Step::kOpenInput>(c));
  }

  unsigned char block[kBspHeaderSize];
  uint32_t got = 0;
  if (int32_t c = platform.Read(file, block, kBspHeaderSize, &got); c != code::kOk) {
    return Failed(InOutError<Step::kReadHeader>(c));
  }
  if (got != kBspHeaderSize) return Failed(InOutError<Step::kReadHeader>(code::kReadBeyondEnd));
  const BspHeader header = DecodeBspHeader(block);

  FixedBuffer<96> line;
  if (header.version != kBspVersion) {
    FormatInto(line, "Wrong bsp version, expected %d found %d", {kBspVersion, header.version});
    if (int32_t c = out.WriteLine(line.view()); c != code::kOk) {
      return Failed(InOutError<Step::kVersionLine>(c));
    }
    return DumpResult{};  // the input stays open until the process ends
  }

  const LumpEntry entities = header.entities();
  FormatInto(line, "Entities lump, size: %d offset: %d", {entities.length, entities.offset});
  if (int32_t c = out.WriteLine(line.view()); c != code::kOk) {
    return Failed(InOutError<Step::kSizeLine>(c));
  }

  // A negative length cannot be read: treat it as a read beyond the end of
  // the file before any memory is asked for or any byte is read.
  if (entities.length < 0) return Failed(InOutError<Step::kAllocateLump>(code::kReadBeyondEnd));
  const auto length = static_cast<uint32_t>(entities.length);
  void* lump = nullptr;
  if (length > 0) {
    lump = platform.AllocateLump(length);
    if (lump == nullptr) return Failed(OutOfMemory<Step::kAllocateLump>());
  }

  if (int32_t c = platform.Seek(file, entities.offset); c != code::kOk) {
    return Failed(InOutError<Step::kSeekLump>(c));
  }
  if (length > 0) {
    if (int32_t c = platform.Read(file, lump, length, &got); c != code::kOk) {
      return Failed(InOutError<Step::kReadLump>(c));
    }
    if (got != length) return Failed(InOutError<Step::kReadLump>(code::kReadBeyondEnd));
  }
  if (int32_t c = platform.Close(file); c != code::kOk) {
    return Failed(InOutError<Step::kCloseInput>(c));
  }

  std::string output_path;
  try {
    output_path = OutputPath(argument, platform.LeadBytes());
  } catch (const std::bad_alloc&) {
    return Failed(OutOfMemory<Step::kDeriveOutputPath>());
  }
  if (int32_t c = platform.CreateOutput(output_path.c_str(), input_identity, &file); c != code::kOk) {
    return Failed(InOutError<Step::kCreateOutput>(c));
  }
  if (length > 0) {
    uint32_t put = 0;
    if (int32_t c = platform.Write(file, lump, length, &put); c != code::kOk) {
      return Failed(InOutError<Step::kWriteLump>(c));
    }
    if (put != length) return Failed(InOutError<Step::kWriteLump>(code::kDiskFull));
  }
  if (int32_t c = platform.Close(file); c != code::kOk) {
    return Failed(InOutError<Step::kCloseOutput>(c));
  }
  if (lump != nullptr) platform.ReleaseLump(lump);
  return DumpResult{};
}

bool ReportFailure(const RunFailure& failure, Platform& platform, ConsoleWriter& out) {
  char module_path[4096];
  const std::string_view path = platform.ModulePath(failure.address, module_path, sizeof module_path);
  const std::string_view name = FileNamePart(path, platform.LeadBytes());
  // The distance into the image: the same step shows the same location on
  // every run, wherever the loader put the executable.
  const uintptr_t offset = failure.address - platform.ModuleBase(failure.address);
  FixedBuffer<kReportSize> report;
  FormatFailureReport(report, failure.kind, failure.code, name, static_cast<uint32_t>(offset));
  return out.WriteLine(report.view()) == code::kOk;
}

int RunTool(const char* argument, Platform& platform) {
  ConsoleWriter out(platform);
  const DumpResult result = RunDump(argument, platform, out);
  int status = 0;
  if (result.failed) {
    // A report that cannot be written ends the run all the same, silently:
    // it is never retried and never reported in turn.
    static_cast<void>(ReportFailure(result.failure, platform, out));
    status = 1;
  }
  out.FlushAtExit();
  return status;
}

}  // namespace lorvink
