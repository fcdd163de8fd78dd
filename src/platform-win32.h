// The tool's operating-system layer on Windows: the Win32 calls themselves.
#ifndef LORVINK_PLATFORM_WIN32_H_
#define LORVINK_PLATFORM_WIN32_H_

#include "platform.h"

namespace lorvink {

class Win32Platform : public Platform {
 public:
  // Reads the lead-byte ranges of the ANSI code page, once.
  Win32Platform();

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
  void* stdout_ = nullptr;
  LeadByteTable lead_bytes_;
};

}  // namespace lorvink

#endif  // LORVINK_PLATFORM_WIN32_H_
