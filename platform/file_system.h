// Files and folders, as the core uses them. Each call mirrors the Windows call of the same name
// with its arguments, so a test can check exactly what was asked and the real layer stays a thin
// forwarder. Paths and names are ANSI text with backslashes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace dormivo::platform {

// What FindFirstFileA and FindNextFileA report of one entry.
struct FindData {
  uint32_t attributes = 0;
  std::string name;            // the entry's name within its folder (cFileName)
  uint64_t size = 0;           // nFileSizeHigh and nFileSizeLow
  uint64_t lastWriteTime = 0;  // ftLastWriteTime: 100 ns steps since 1601-01-01, UTC
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens or creates a file; kInvalidHandle on failure (GetLastError tells why).
  virtual Handle CreateFileA(const std::string& path, uint32_t desiredAccess, uint32_t shareMode,
                             uint32_t creationDisposition, uint32_t flagsAndAttributes) = 0;
  virtual bool ReadFile(Handle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) = 0;
  virtual bool WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite,
                         uint32_t* bytesWritten) = 0;
  virtual bool GetFileSizeEx(Handle file, uint64_t* size) = 0;
  virtual bool FlushFileBuffers(Handle file) = 0;
  virtual bool CloseHandle(Handle handle) = 0;

  // Folder search: the pattern is a folder path followed by a wildcard name ("C:\x\*.*") or a
  // plain path. kInvalidHandle when nothing matches.
  virtual Handle FindFirstFileA(const std::string& pattern, FindData* data) = 0;
  virtual bool FindNextFileA(Handle search, FindData* data) = 0;
  virtual bool FindClose(Handle search) = 0;

  virtual bool DeleteFileA(const std::string& path) = 0;
  virtual bool RemoveDirectoryA(const std::string& path) = 0;
  virtual bool MoveFileExA(const std::string& existing, const std::string& replacement,
                           uint32_t flags) = 0;
  // The absolute form of a path; the path itself when it cannot be expanded.
  virtual std::string GetFullPathNameA(const std::string& path) = 0;

  virtual uint32_t GetLastError() = 0;
  // The system's message text for an error code (FormatMessageA with the system message table),
  // as the system gives it, line break included; empty when there is none.
  virtual std::string FormatMessageA(uint32_t messageId) = 0;
};

}  // namespace dormivo::platform
