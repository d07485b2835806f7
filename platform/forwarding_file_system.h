// A file system that hands every call to another one. A decorator derives from it and overrides
// only the calls it changes (the log step's retries, a test's fault or observation).
#pragma once

#include <string>

#include "platform/file_system.h"

namespace dormivo::platform {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

  Handle CreateFileA(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                     uint32_t flags) override {
    return inner_.CreateFileA(path, access, share, disposition, flags);
  }
  bool ReadFile(Handle file, void* buffer, uint32_t size, uint32_t* done) override {
    return inner_.ReadFile(file, buffer, size, done);
  }
  bool WriteFile(Handle file, const void* buffer, uint32_t size, uint32_t* done) override {
    return inner_.WriteFile(file, buffer, size, done);
  }
  bool GetFileSizeEx(Handle file, uint64_t* size) override {
    return inner_.GetFileSizeEx(file, size);
  }
  bool FlushFileBuffers(Handle file) override { return inner_.FlushFileBuffers(file); }
  bool CloseHandle(Handle handle) override { return inner_.CloseHandle(handle); }
  Handle FindFirstFileA(const std::string& pattern, FindData* data) override {
    return inner_.FindFirstFileA(pattern, data);
  }
  bool FindNextFileA(Handle search, FindData* data) override {
    return inner_.FindNextFileA(search, data);
  }
  bool FindClose(Handle search) override { return inner_.FindClose(search); }
  bool DeleteFileA(const std::string& path) override { return inner_.DeleteFileA(path); }
  bool RemoveDirectoryA(const std::string& path) override { return inner_.RemoveDirectoryA(path); }
  bool MoveFileExA(const std::string& from, const std::string& to, uint32_t flags) override {
    return inner_.MoveFileExA(from, to, flags);
  }
  std::string GetFullPathNameA(const std::string& path) override {
    return inner_.GetFullPathNameA(path);
  }
  uint32_t GetLastError() override { return inner_.GetLastError(); }
  std::string FormatMessageA(uint32_t id) override { return inner_.FormatMessageA(id); }

 private:
  FileSystem& inner_;
};

}  // namespace dormivo::platform
