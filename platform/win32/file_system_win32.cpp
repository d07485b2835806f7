#include "platform/win32/file_system_win32.h"

#include <windows.h>

namespace dormivo::platform {
namespace {

HANDLE ToWin(Handle h) {
  return reinterpret_cast<HANDLE>(h);
}
Handle FromWin(HANDLE h) {
  return reinterpret_cast<Handle>(h);
}

void Fill(const WIN32_FIND_DATAA& found, FindData* data) {
  data->attributes = found.dwFileAttributes;
  data->name = found.cFileName;
  data->size = (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
  data->lastWriteTime =
      (uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

Handle Win32FileSystem::CreateFileA(const std::string& path, uint32_t desiredAccess,
                                    uint32_t shareMode, uint32_t creationDisposition,
                                    uint32_t flagsAndAttributes) {
  HANDLE h = ::CreateFileA(path.c_str(), desiredAccess, shareMode, nullptr, creationDisposition,
                           flagsAndAttributes, nullptr);
  return h == INVALID_HANDLE_VALUE ? kInvalidHandle : FromWin(h);
}

bool Win32FileSystem::ReadFile(Handle file, void* buffer, uint32_t bytesToRead,
                               uint32_t* bytesRead) {
  DWORD done = 0;
  const BOOL ok = ::ReadFile(ToWin(file), buffer, bytesToRead, &done, nullptr);
  *bytesRead = done;
  return ok != FALSE;
}

bool Win32FileSystem::WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite,
                                uint32_t* bytesWritten) {
  DWORD done = 0;
  const BOOL ok = ::WriteFile(ToWin(file), buffer, bytesToWrite, &done, nullptr);
  *bytesWritten = done;
  return ok != FALSE;
}

bool Win32FileSystem::GetFileSizeEx(Handle file, uint64_t* size) {
  LARGE_INTEGER value{};
  const BOOL ok = ::GetFileSizeEx(ToWin(file), &value);
  *size = ok ? static_cast<uint64_t>(value.QuadPart) : 0;
  return ok != FALSE;
}

bool Win32FileSystem::FlushFileBuffers(Handle file) {
  return ::FlushFileBuffers(ToWin(file)) != FALSE;
}

bool Win32FileSystem::CloseHandle(Handle handle) {
  return ::CloseHandle(ToWin(handle)) != FALSE;
}

Handle Win32FileSystem::FindFirstFileA(const std::string& pattern, FindData* data) {
  WIN32_FIND_DATAA found{};
  HANDLE h = ::FindFirstFileA(pattern.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE)
    return kInvalidHandle;
  Fill(found, data);
  return FromWin(h);
}

bool Win32FileSystem::FindNextFileA(Handle search, FindData* data) {
  WIN32_FIND_DATAA found{};
  if (!::FindNextFileA(ToWin(search), &found))
    return false;
  Fill(found, data);
  return true;
}

bool Win32FileSystem::FindClose(Handle search) {
  return ::FindClose(ToWin(search)) != FALSE;
}

bool Win32FileSystem::DeleteFileA(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32FileSystem::RemoveDirectoryA(const std::string& path) {
  return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

bool Win32FileSystem::MoveFileExA(const std::string& existing, const std::string& replacement,
                                  uint32_t flags) {
  return ::MoveFileExA(existing.c_str(), replacement.c_str(), flags) != FALSE;
}

std::string Win32FileSystem::GetFullPathNameA(const std::string& path) {
  const DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0)
    return path;
  std::string full(needed, '\0');
  const DWORD written = ::GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed)
    return path;
  full.resize(written);
  return full;
}

uint32_t Win32FileSystem::GetLastError() {
  return ::GetLastError();
}

std::string Win32FileSystem::FormatMessageA(uint32_t messageId) {
  char* text = nullptr;
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                       nullptr, messageId, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string result;
  if (length != 0 && text != nullptr)
    result.assign(text, length);
  if (text != nullptr)
    ::LocalFree(text);
  return result;
}

}  // namespace dormivo::platform
