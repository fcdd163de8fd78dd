// The tool's operating-system layer on POSIX systems.
#ifndef LORVINK_PLATFORM_POSIX_H_
#define LORVINK_PLATFORM_POSIX_H_

#include "platform.h"

namespace lorvink {

class PosixPlatform : public Platform {
 public:
  // Call once at process start, before anything is opened. Reserves
  // descriptors 0, 1 and 2 if they are closed, so no file the tool opens can
  // take standard output's place, and turns SIGPIPE and SIGXFSZ into refused
  // writes instead of a killed process.
  PosixPlatform();

  int32_t OpenStdout(bool* is_character_device) override;
  int32_t WriteStdout(const char* data, size_t size) override;
  int32_t OpenExisting(const char* path, FileHandle* file, FileIdentity* identity) override;
  int32_t CreateOutput(const char* path, const FileIdentity& input, FileHandle* file) override;
  int32_t Read(FileHandle file, void* buffer, uint32_t count, uint32_t* done) override;
  int32_t Write(FileHandle file, const void* buffer, uint32_t count, uint32_t* done) override;
  int32_t Seek(FileHandle file, int32_t position) override;
  int32_t Close(FileHandle file) override;
  void* AllocateLump(size_t size) override;
  void ReleaseLump(void* block) override;
  const LeadByteTable& LeadBytes() override { return lead_bytes_; }
  std::string_view ModulePath(uintptr_t address, char* buffer, size_t size) override;
  uintptr_t ModuleBase(uintptr_t address) override;

 private:
  bool stdout_was_closed_ = false;
  LeadByteTable lead_bytes_;  // no double-byte code pages here
};

}  // namespace lorvink

#endif  // LORVINK_PLATFORM_POSIX_H_
