#include "platform-posix.h"

#include <fcntl.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "errno_code.h"
#include "result_code.h"

// The ELF header of the executable, placed by the linker at its load address.
extern "C" const char __ehdr_start[];  // NOLINT: the linker's name

namespace lorvink {

namespace {

// Linux moves at most this much in one read or write call.
constexpr size_t kMaxTransfer = 0x7ffff000;

int Descriptor(FileHandle file) { return static_cast<int>(file); }

FileIdentity IdentityOf(const struct stat& st) {
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

// open() says ENOENT both for a missing file and for a missing folder on the
// way to it; Windows tells them apart, and so do the reports.
int32_t CodeForMissing(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return code::kFileNotFound;  // the current folder exists
  std::string folder(path, static_cast<size_t>(slash - path) + 1);
  struct stat st;
  if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return code::kFileNotFound;
  return code::kPathNotFound;
}

void ReserveDescriptor(int fd, bool* was_closed) {
  if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
  // Read-only, so that writes to a reserved standard output still fail.
  int reserved = open("/dev/null", O_RDONLY);
  if (reserved == -1) reserved = open("/", O_RDONLY | O_DIRECTORY);
  if (reserved != fd) _exit(1);  // nothing can stand in: refuse to run at all
  *was_closed = true;
}

}  // namespace

PosixPlatform::PosixPlatform() {
  bool ignored = false;
  ReserveDescriptor(0, &ignored);
  ReserveDescriptor(1, &stdout_was_closed_);
  ReserveDescriptor(2, &ignored);
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
  static_cast<void>(std::signal(SIGXFSZ, SIG_IGN));
}

int32_t PosixPlatform::OpenStdout(bool* is_character_device) {
  if (stdout_was_closed_) return code::kInvalidHandle;
  struct stat st;
  if (fstat(STDOUT_FILENO, &st) != 0) return CodeFromErrno(errno);
  *is_character_device = S_ISCHR(st.st_mode);
  return code::kOk;
}

int32_t PosixPlatform::WriteStdout(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(STDOUT_FILENO, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return CodeFromErrno(errno);
    }
    if (n == 0) return code::kDiskFull;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return code::kOk;
}

int32_t PosixPlatform::OpenExisting(const char* path, FileHandle* file, FileIdentity* identity) {
  const int fd = open(path, O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? CodeForMissing(path) : CodeFromErrno(errno);
  struct stat st;
  if (fstat(fd, &st) != 0) return CodeFromErrno(errno);
  *identity = IdentityOf(st);
  *file = fd;
  return code::kOk;
}

int32_t PosixPlatform::CreateOutput(const char* path, const FileIdentity& input, FileHandle* file) {
  // Open before truncating, so the identity check and the truncation concern
  // the very same file, whatever happens to the name in between.
  const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return errno == ENOENT ? CodeForMissing(path) : CodeFromErrno(errno);
  struct stat st;
  if (fstat(fd, &st) != 0) return CodeFromErrno(errno);
  if (IdentityOf(st) == input) {
    close(fd);
    return code::kAccessDenied;  // the output would replace the input itself
  }
  // Devices and pipes have nothing to truncate.
  if (S_ISREG(st.st_mode) && st.st_size != 0 && ftruncate(fd, 0) != 0) return CodeFromErrno(errno);
  *file = fd;
  return code::kOk;
}

int32_t PosixPlatform::Read(FileHandle file, void* buffer, uint32_t count, uint32_t* done) {
  auto* p = static_cast<char*>(buffer);
  size_t total = 0;
  while (total < count) {
    const size_t want = count - total < kMaxTransfer ? count - total : kMaxTransfer;
    const ssize_t n = read(Descriptor(file), p + total, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return CodeFromErrno(errno);
    }
    if (n == 0) break;  // end of file
    total += static_cast<size_t>(n);
  }
  *done = static_cast<uint32_t>(total);
  return code::kOk;
}

int32_t PosixPlatform::Write(FileHandle file, const void* buffer, uint32_t count, uint32_t* done) {
  const auto* p = static_cast<const char*>(buffer);
  size_t total = 0;
  while (total < count) {
    const size_t want = count - total < kMaxTransfer ? count - total : kMaxTransfer;
    const ssize_t n = write(Descriptor(file), p + total, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return CodeFromErrno(errno);
    }
    if (n == 0) break;  // no progress possible
    total += static_cast<size_t>(n);
  }
  *done = static_cast<uint32_t>(total);
  return code::kOk;
}

int32_t PosixPlatform::Seek(FileHandle file, int32_t position) {
  if (lseek(Descriptor(file), position, SEEK_SET) >= 0) return code::kOk;
  if (errno == EINVAL && position < 0) return code::kNegativeSeek;
  return CodeFromErrno(errno);
}

int32_t PosixPlatform::Close(FileHandle file) {
  // After EINTR the descriptor is gone all the same on Linux.
  if (close(Descriptor(file)) == 0 || errno == EINTR) return code::kOk;
  return CodeFromErrno(errno);
}

// A plain heap block. Large ones come from a mapping of their own and are
// faulted in a 4 KiB page at a time as the read fills them; see
// bench/bench.py for why huge pages lost on the machines measured.
void* PosixPlatform::AllocateLump(size_t size) { return std::malloc(size); }

void PosixPlatform::ReleaseLump(void* block) { std::free(block); }

std::string_view PosixPlatform::ModulePath(uintptr_t /*address*/, char* buffer, size_t size) {
  if (size == 0) return {};
  const ssize_t n = readlink("/proc/self/exe", buffer, size);
  if (n > 0 && static_cast<size_t>(n) < size) return std::string_view(buffer, static_cast<size_t>(n));
  // No /proc: the name the loader was given.
  const auto* name = reinterpret_cast<const char*>(getauxval(AT_EXECFN));  // NOLINT(performance-no-int-to-ptr): the loader hands it over as an integer
  if (name == nullptr) return {};
  const size_t length = strnlen(name, size);
  std::memcpy(buffer, name, length);
  return std::string_view(buffer, length);
}

uintptr_t PosixPlatform::ModuleBase(uintptr_t /*address*/) {
  // All of the tool's code is in the executable.
  return reinterpret_cast<uintptr_t>(__ehdr_start);
}

}  // namespace lorvink
