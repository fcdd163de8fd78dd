#include "platform-win32.h"

#include <windows.h>

#include "result_code.h"

namespace lorvink {

namespace {

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

int32_t LastError() { return static_cast<int32_t>(GetLastError()); }

// Volume serial and file index; false for handles that have none (devices).
bool IdentityOf(HANDLE handle, FileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  identity->volume = info.dwVolumeSerialNumber;
  identity->index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

// The path already names the file |input|: the same name, another case of
// it on a case-insensitive volume, or a link.
bool NamesFile(const char* path, const FileIdentity& input) {
  if (input == FileIdentity{}) return false;  // the input had no identity
  HANDLE existing = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (existing == INVALID_HANDLE_VALUE) return false;
  FileIdentity identity;
  const bool same = IdentityOf(existing, &identity) && identity == input;
  CloseHandle(existing);
  return same;
}

constexpr int32_t kMaxModulePath = MAX_PATH + 1;  // 261

}  // namespace

Win32Platform::Win32Platform() {
  if (GetSystemMetrics(SM_DBCSENABLED) == 0) return;
  CPINFO info;
  if (!GetCPInfo(CP_ACP, &info)) return;
  for (size_t i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] != 0 || info.LeadByte[i + 1] != 0); i += 2) {
    lead_bytes_.AddRange(info.LeadByte[i], info.LeadByte[i + 1]);
  }
}

int32_t Win32Platform::OpenStdout(bool* is_character_device) {
  HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return ERROR_INVALID_HANDLE;
  SetLastError(NO_ERROR);
  const DWORD type = GetFileType(handle);
  if (type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR) return LastError();
  stdout_ = handle;
  *is_character_device = type == FILE_TYPE_CHAR;
  return code::kOk;
}

int32_t Win32Platform::WriteStdout(const char* data, size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(stdout_, data, static_cast<DWORD>(size), &written, nullptr)) return LastError();
    if (written == 0) return code::kDiskFull;
    data += written;
    size -= written;
  }
  return code::kOk;
}

int32_t Win32Platform::OpenExisting(const char* path, FileHandle* file, FileIdentity* identity) {
  HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  if (!IdentityOf(handle, identity)) *identity = FileIdentity{};
  *file = reinterpret_cast<FileHandle>(handle);
  return code::kOk;
}

int32_t Win32Platform::CreateOutput(const char* path, const FileIdentity& input, FileHandle* file) {
  if (NamesFile(path, input)) return ERROR_ACCESS_DENIED;
  HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  *file = reinterpret_cast<FileHandle>(handle);
  return code::kOk;
}

int32_t Win32Platform::Read(FileHandle file, void* buffer, uint32_t count, uint32_t* done) {
  auto* p = static_cast<char*>(buffer);
  uint32_t total = 0;
  while (total < count) {
    DWORD got = 0;
    if (!ReadFile(ToHandle(file), p + total, count - total, &got, nullptr)) {
      if (GetLastError() == ERROR_HANDLE_EOF || GetLastError() == ERROR_BROKEN_PIPE) break;
      return LastError();
    }
    if (got == 0) break;  // end of file
    total += got;
  }
  *done = total;
  return code::kOk;
}

int32_t Win32Platform::Write(FileHandle file, const void* buffer, uint32_t count, uint32_t* done) {
  const auto* p = static_cast<const char*>(buffer);
  uint32_t total = 0;
  while (total < count) {
    DWORD written = 0;
    if (!WriteFile(ToHandle(file), p + total, count - total, &written, nullptr)) return LastError();
    if (written == 0) break;  // no progress possible
    total += written;
  }
  *done = total;
  return code::kOk;
}

int32_t Win32Platform::Seek(FileHandle file, int32_t position) {
  // No high part: a negative position is refused with ERROR_NEGATIVE_SEEK.
  if (SetFilePointer(ToHandle(file), position, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER) {
    return code::kOk;
  }
  const int32_t error = LastError();
  return error == NO_ERROR ? code::kOk : error;
}

int32_t Win32Platform::Close(FileHandle file) {
  return CloseHandle(ToHandle(file)) ? code::kOk : LastError();
}

void* Win32Platform::AllocateLump(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void Win32Platform::ReleaseLump(void* block) { HeapFree(GetProcessHeap(), 0, block); }

std::string_view Win32Platform::ModulePath(uintptr_t address, char* buffer, size_t size) {
  const auto module = reinterpret_cast<HMODULE>(ModuleBase(address));
  const DWORD limit = size < kMaxModulePath ? static_cast<DWORD>(size) : kMaxModulePath;
  const DWORD n = GetModuleFileNameA(module, buffer, limit);
  return std::string_view(buffer, n < limit ? n : limit);
}

uintptr_t Win32Platform::ModuleBase(uintptr_t address) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == 0) return 0;
  return reinterpret_cast<uintptr_t>(info.AllocationBase);
}

}  // namespace lorvink
