// The whole run over a map file made of the fuzz bytes, on the real file
// system: the exit status is 0 or 1; a 1 ends in exactly one well-formed
// report; an output file exists only after a completed dump and then holds
// exactly the lump; the map itself is never changed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "bsp_header.h"
#include "dump.h"
#include "platform-posix.h"

namespace {

// The real platform with standard output kept in memory. A failed run
// leaves its file open and its buffer held for the end of the process; here
// the process goes on to the next input, so the harness lets them go.
class CapturingPlatform : public lorvink::PosixPlatform {
 public:
  std::string out;

  CapturingPlatform() = default;
  CapturingPlatform(const CapturingPlatform&) = delete;
  CapturingPlatform& operator=(const CapturingPlatform&) = delete;
  ~CapturingPlatform() override {
    for (lorvink::FileHandle file : open_) close(static_cast<int>(file));
    if (block_ != nullptr) PosixPlatform::ReleaseLump(block_);
  }

  int32_t OpenStdout(bool* is_character_device) override {
    *is_character_device = false;
    return 0;
  }
  int32_t WriteStdout(const char* data, size_t size) override {
    out.append(data, size);
    return 0;
  }
  int32_t OpenExisting(const char* path, lorvink::FileHandle* file, lorvink::FileIdentity* identity) override {
    const int32_t code = PosixPlatform::OpenExisting(path, file, identity);
    if (code == 0) open_.push_back(*file);
    return code;
  }
  int32_t CreateOutput(const char* path, const lorvink::FileIdentity& input, lorvink::FileHandle* file) override {
    const int32_t code = PosixPlatform::CreateOutput(path, input, file);
    if (code == 0) open_.push_back(*file);
    return code;
  }
  int32_t Close(lorvink::FileHandle file) override {
    std::erase(open_, file);
    return PosixPlatform::Close(file);
  }
  void* AllocateLump(size_t size) override {
    block_ = PosixPlatform::AllocateLump(size);
    return block_;
  }
  void ReleaseLump(void* block) override {
    block_ = nullptr;
    PosixPlatform::ReleaseLump(block);
  }

 private:
  std::vector<lorvink::FileHandle> open_;
  void* block_ = nullptr;
};

std::string ReadFile(const char* path, bool* exists) {
  std::string data;
  FILE* f = std::fopen(path, "rb");
  *exists = f != nullptr;
  if (!f) return data;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
  std::fclose(f);
  return data;
}

bool WellFormedReport(std::string_view text) {
  // "Exception <kind> in module <name> at XXXXXXXX.\n<message>.\r\n"
  if (text.substr(0, 10) != "Exception ") return false;
  const size_t lf = text.find('\n');
  if (lf == std::string_view::npos || lf < 10 || text[lf - 1] != '.') return false;
  const std::string_view message = text.substr(lf + 1);
  return message.size() >= 3 && message.substr(message.size() - 3) == ".\r\n" &&
         message.find('\n') == message.size() - 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/lorvink-fuzz-XXXXXX";
  if (mkdtemp(folder) == nullptr || chdir(folder) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string map(reinterpret_cast<const char*>(data), size);
  unlink("map.txt");
  {
    FILE* f = std::fopen("map.bsp", "wb");
    if (!f || std::fwrite(map.data(), 1, map.size(), f) != map.size() || std::fclose(f) != 0) std::abort();
  }

  CapturingPlatform platform;
  const int status = lorvink::RunTool("map.bsp", platform);

  bool map_exists = false;
  bool output_exists = false;
  if (ReadFile("map.bsp", &map_exists) != map || !map_exists) __builtin_trap();
  const std::string output = ReadFile("map.txt", &output_exists);

  if (status != 0 && status != 1) __builtin_trap();
  if (status == 1) {
    const size_t report = platform.out.find("Exception ");
    if (report == std::string::npos || !WellFormedReport(std::string_view(platform.out).substr(report))) {
      __builtin_trap();
    }
    if (output_exists) __builtin_trap();  // nothing here can fail once the output exists
    return 0;
  }
  if (size < lorvink::kBspHeaderSize) __builtin_trap();
  unsigned char block[lorvink::kBspHeaderSize];
  std::memcpy(block, data, sizeof block);
  const lorvink::BspHeader header = lorvink::DecodeBspHeader(block);
  if (header.version != lorvink::kBspVersion) {
    if (output_exists) __builtin_trap();
    return 0;
  }
  const lorvink::LumpEntry lump = header.entities();
  if (!output_exists || lump.offset < 0 || lump.length < 0) __builtin_trap();
  // An empty lump may lie anywhere, even past the end: nothing is read.
  const std::string lump_bytes =
      lump.length == 0 ? std::string() : map.substr(static_cast<size_t>(lump.offset), static_cast<size_t>(lump.length));
  if (output != lump_bytes) __builtin_trap();
  return 0;
}
