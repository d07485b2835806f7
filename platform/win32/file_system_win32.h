// The real file system: each call forwards to the Windows call of the same name.
#pragma once

#include "platform/file_system.h"

namespace dormivo::platform {

class Win32FileSystem final : public FileSystem {
 public:
  Handle CreateFileA(const std::string& path, uint32_t desiredAccess, uint32_t shareMode,
                     uint32_t creationDisposition, uint32_t flagsAndAttributes) override;
  bool ReadFile(Handle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override;
  bool WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite,
                 uint32_t* bytesWritten) override;
  bool GetFileSizeEx(Handle file, uint64_t* size) override;
  bool FlushFileBuffers(Handle file) override;
  bool CloseHandle(Handle handle) override;
  Handle FindFirstFileA(const std::string& pattern, FindData* data) override;
  bool FindNextFileA(Handle search, FindData* data) override;
  bool FindClose(Handle search) override;
  bool DeleteFileA(const std::string& path) override;
  bool RemoveDirectoryA(const std::string& path) override;
  bool MoveFileExA(const std::string& existing, const std::string& replacement,
                   uint32_t flags) override;
  std::string GetFullPathNameA(const std::string& path) override;
  uint32_t GetLastError() override;
  std::string FormatMessageA(uint32_t messageId) override;
};

}  // namespace dormivo::platform
