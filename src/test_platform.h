// An in-memory stand-in for the operating system, for unit tests. Files live
// in a map by name; any operation can be made to fail with a chosen code;
// every call is logged so tests can check the order of a run.
#ifndef LORVINK_TEST_PLATFORM_H_
#define LORVINK_TEST_PLATFORM_H_

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform.h"
#include "result_code.h"

namespace lorvink {

class TestPlatform : public Platform {
 public:
  struct OpenFile {
    std::string name;
    size_t position = 0;
  };

  std::map<std::string, std::string> files;
  // Operation name -> the code it fails with. One entry is not a failure:
  // "write-room" -> n lets a file write store at most n bytes, as on a disk
  // that fills up, so the caller sees a short write.
  std::map<std::string, int32_t> fail;
  std::vector<std::string> log;
  std::string stdout_bytes;
  std::vector<size_t> stdout_writes;  // size of each write handed to the system
  bool stdout_is_character_device = false;
  bool refuse_memory = false;
  LeadByteTable lead_bytes;
  std::string module_path = "/opt/tools/lorvink";
  std::map<FileHandle, OpenFile> open_files;
  std::vector<void*> blocks_held;

  TestPlatform() = default;
  TestPlatform(const TestPlatform&) = delete;
  TestPlatform& operator=(const TestPlatform&) = delete;
  // A failed run leaves its buffer held, as the process end would free it.
  ~TestPlatform() override {
    for (void* block : blocks_held) std::free(block);
  }

  int32_t OpenStdout(bool* is_character_device) override {
    log.push_back("open-stdout");
    if (int32_t c = Failure("open-stdout")) return c;
    *is_character_device = stdout_is_character_device;
    return code::kOk;
  }
  int32_t WriteStdout(const char* data, size_t size) override {
    if (int32_t c = Failure("write-stdout")) return c;
    stdout_bytes.append(data, size);
    stdout_writes.push_back(size);
    return code::kOk;
  }
  int32_t OpenExisting(const char* path, FileHandle* file, FileIdentity* identity) override {
    log.push_back(std::string("open ") + path);
    if (int32_t c = Failure("open")) return c;
    if (!files.count(path)) return code::kFileNotFound;
    *identity = IdentityOf(path);
    *file = NewHandle(path);
    return code::kOk;
  }
  int32_t CreateOutput(const char* path, const FileIdentity& input, FileHandle* file) override {
    log.push_back(std::string("create ") + path);
    if (int32_t c = Failure("create")) return c;
    if (IdentityOf(path) == input) return code::kAccessDenied;
    files[path].clear();
    *file = NewHandle(path);
    return code::kOk;
  }
  int32_t Read(FileHandle file, void* buffer, uint32_t count, uint32_t* done) override {
    log.push_back("read " + std::to_string(count));
    if (int32_t c = Failure("read")) return c;
    OpenFile& f = open_files.at(file);
    const std::string& data = files[f.name];
    const size_t available = f.position < data.size() ? data.size() - f.position : 0;
    const size_t n = count < available ? count : available;
    if (n > 0) std::memcpy(buffer, data.data() + f.position, n);
    f.position += n;
    *done = static_cast<uint32_t>(n);
    return code::kOk;
  }
  int32_t Write(FileHandle file, const void* buffer, uint32_t count, uint32_t* done) override {
    log.push_back("write " + std::to_string(count));
    if (int32_t c = Failure("write")) return c;
    const size_t room = fail.count("write-room") ? static_cast<size_t>(fail["write-room"]) : count;
    const size_t n = count < room ? count : room;
    files[open_files.at(file).name].append(static_cast<const char*>(buffer), n);
    *done = static_cast<uint32_t>(n);
    return code::kOk;
  }
  int32_t Seek(FileHandle file, int32_t position) override {
    log.push_back("seek " + std::to_string(position));
    if (int32_t c = Failure("seek")) return c;
    if (position < 0) return code::kNegativeSeek;
    open_files.at(file).position = static_cast<size_t>(position);
    return code::kOk;
  }
  int32_t Close(FileHandle file) override {
    log.push_back("close " + open_files.at(file).name);
    if (int32_t c = Failure("close " + open_files.at(file).name)) return c;
    open_files.erase(file);
    return code::kOk;
  }
  void* AllocateLump(size_t size) override {
    log.push_back("allocate " + std::to_string(size));
    if (refuse_memory) return nullptr;
    void* block = std::malloc(size);
    blocks_held.push_back(block);
    return block;
  }
  void ReleaseLump(void* block) override {
    log.push_back("release");
    blocks_held.erase(std::find(blocks_held.begin(), blocks_held.end(), block));
    std::free(block);
  }
  const LeadByteTable& LeadBytes() override { return lead_bytes; }
  std::string_view ModulePath(uintptr_t /*address*/, char* buffer, size_t size) override {
    const size_t n = module_path.size() < size ? module_path.size() : size;
    std::memcpy(buffer, module_path.data(), n);
    return std::string_view(buffer, n);
  }
  uintptr_t ModuleBase(uintptr_t address) override { return address - 0x1234; }

 private:
  int32_t Failure(const std::string& operation) {
    auto it = fail.find(operation);
    return it == fail.end() ? code::kOk : it->second;
  }
  // Names are identities here: there are no links.
  FileIdentity IdentityOf(const std::string& path) {
    return FileIdentity{1, std::hash<std::string>()(path)};
  }
  FileHandle NewHandle(const std::string& path) {
    open_files[next_handle_] = OpenFile{path, 0};
    return next_handle_++;
  }
  FileHandle next_handle_ = 3;
};

}  // namespace lorvink

#endif  // LORVINK_TEST_PLATFORM_H_
