// A file system that hands every call to another one; tests derive from it and override only
// the calls they watch or disturb.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace dormivo::fakes {

class ForwardingFileSystem : public platform::FileSystem {
 public:
  explicit ForwardingFileSystem(platform::FileSystem& inner) : inner_(inner) {}

  platform::Handle CreateFileA(const std::string& path, uint32_t access, uint32_t share,
                               uint32_t disposition, uint32_t flags) override {
    return inner_.CreateFileA(path, access, share, disposition, flags);
  }
  bool ReadFile(platform::Handle file, void* buffer, uint32_t size, uint32_t* done) override {
    return inner_.ReadFile(file, buffer, size, done);
  }
  bool WriteFile(platform::Handle file, const void* buffer, uint32_t size,
                 uint32_t* done) override {
    return inner_.WriteFile(file, buffer, size, done);
  }
  bool GetFileSizeEx(platform::Handle file, uint64_t* size) override {
    return inner_.GetFileSizeEx(file, size);
  }
  bool FlushFileBuffers(platform::Handle file) override { return inner_.FlushFileBuffers(file); }
  bool CloseHandle(platform::Handle handle) override { return inner_.CloseHandle(handle); }
  platform::Handle FindFirstFileA(const std::string& pattern, platform::FindData* data) override {
    return inner_.FindFirstFileA(pattern, data);
  }
  bool FindNextFileA(platform::Handle search, platform::FindData* data) override {
    return inner_.FindNextFileA(search, data);
  }
  bool FindClose(platform::Handle search) override { return inner_.FindClose(search); }
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
  platform::FileSystem& inner_;
};

}  // namespace dormivo::fakes
