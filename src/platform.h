// Everything the tool asks of the operating system, behind one narrow
// interface: a POSIX and a Win32 implementation live in files of their own,
// and tests stand in a fake. Every operation yields a result code in the
// Windows numbering (0 for success), never an exception.
#ifndef LORVINK_PLATFORM_H_
#define LORVINK_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "output_path.h"

namespace lorvink {

using FileHandle = intptr_t;

// Which file an open handle refers to, independent of the name used to reach
// it: device and inode on POSIX, volume serial and file index on Windows.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Standard output. OpenStdout is called before the first write of a run
  // and says whether it is a character device (a terminal, the null device).
  virtual int32_t OpenStdout(bool* is_character_device) = 0;
  // Writes all |size| bytes, or fails with the system's code.
  virtual int32_t WriteStdout(const char* data, size_t size) = 0;

  // Opens an existing file for reading and writing, sharing reads and writes.
  virtual int32_t OpenExisting(const char* path, FileHandle* file, FileIdentity* identity) = 0;
  // Creates |path| or empties it, unless it is the file |input|: then it fails
  // with access denied and leaves the file as it is.
  virtual int32_t CreateOutput(const char* path, const FileIdentity& input, FileHandle* file) = 0;
  // Transfers up to |count| bytes, going on after partial transfers; a short
  // |done| means the end of the file (read) or no more room (write).
  virtual int32_t Read(FileHandle file, void* buffer, uint32_t count, uint32_t* done) = 0;
  virtual int32_t Write(FileHandle file, const void* buffer, uint32_t count, uint32_t* done) = 0;
  // Moves to an absolute position; a negative one is refused with 131.
  virtual int32_t Seek(FileHandle file, int32_t position) = 0;
  virtual int32_t Close(FileHandle file) = 0;

  // The lump buffer: exactly |size| bytes, or nullptr.
  virtual void* AllocateLump(size_t size) = 0;
  virtual void ReleaseLump(void* block) = 0;

  // The lead-byte ranges of the system's ANSI code page, read once.
  virtual const LeadByteTable& LeadBytes() = 0;
  // The path of the module holding the code at |address| (for the tool,
  // always the executable), written into |buffer| without the heap.
  virtual std::string_view ModulePath(uintptr_t address, char* buffer, size_t size) = 0;
  // The load address of the module holding |address|.
  virtual uintptr_t ModuleBase(uintptr_t address) = 0;
};

}  // namespace lorvink

#endif  // LORVINK_PLATFORM_H_
