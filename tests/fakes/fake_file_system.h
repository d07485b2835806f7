// An in-memory file system for the native tests: files, folders with attributes, links to
// folders, share modes between openers, read-only files, a disk that can run full, and a fault
// injector that fails the Nth call of an operation once or from then on. Every call is recorded
// with its arguments.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/fakes/fault_injector.h"

namespace dormivo::fakes {

class FakeFileSystem final : public platform::FileSystem {
 public:
  enum class Op {
    CreateFile,
    ReadFile,
    WriteFile,
    GetFileSize,
    FlushFileBuffers,
    CloseHandle,
    FindFirstFile,
    FindNextFile,
    DeleteFile,
    RemoveDirectory,
    MoveFileEx,
  };

  FakeFileSystem();

  // --- Building the tree. Parent folders are created as needed.
  void AddFolder(const std::string& path, uint32_t attributes = 0x10);
  void AddFile(const std::string& path, const std::string& content = {},
               uint32_t attributes = 0x20);
  // A link to a folder: listed with the directory and reparse-point attributes, and a path
  // through it reaches the target. Removing it removes the link only.
  void AddFolderLink(const std::string& path, const std::string& target);
  // Every open of this path fails with ERROR_ACCESS_DENIED.
  void DenyAccess(const std::string& path);
  void SetAttributes(const std::string& path, uint32_t attributes);
  // The last-write time a folder search reports for the entry. Each creation, truncation and
  // write of a file sets it to the fake's clock, which then moves on by one second.
  void SetLastWriteTime(const std::string& path, uint64_t fileTime);
  void SetCurrentDirectory(const std::string& folder) { currentDirectory_ = folder; }
  // Total bytes all files may hold; a write beyond it is short and fails with ERROR_DISK_FULL.
  void SetCapacity(uint64_t bytes) { capacity_ = bytes; }

  // --- Looking at the tree.
  bool Exists(const std::string& path) const;
  std::optional<std::string> Content(const std::string& path) const;
  std::optional<uint32_t> Attributes(const std::string& path) const;
  // Paths of every entry, in sorted order, as they were created.
  std::vector<std::string> Paths() const;
  size_t OpenHandleCount() const { return files_.size() + searches_.size(); }

  // --- Faults. The call of `op` after `skip` successful ones fails with `error`, `times` times
  // (-1: from then on).
  void Fail(Op op, uint32_t error, int skip = 0, int times = 1);
  // Likewise, but the call raises InjectedException instead of failing.
  void Throw(Op op, int skip = 0, int times = 1);
  // Reads of this many bytes at most per ReadFile call (a partial read that still succeeds).
  void SetReadChunk(uint32_t bytes) { readChunk_ = bytes; }

  // --- The record of calls, each like "CreateFileA(C:\app\Settings.dat,0x80000000,1,3,0x80)".
  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> CallsOf(const std::string& name) const;
  void ClearCalls() { calls_.clear(); }

  // platform::FileSystem
  platform::Handle CreateFileA(const std::string& path, uint32_t desiredAccess, uint32_t shareMode,
                               uint32_t creationDisposition, uint32_t flagsAndAttributes) override;
  bool ReadFile(platform::Handle file, void* buffer, uint32_t bytesToRead,
                uint32_t* bytesRead) override;
  bool WriteFile(platform::Handle file, const void* buffer, uint32_t bytesToWrite,
                 uint32_t* bytesWritten) override;
  bool GetFileSizeEx(platform::Handle file, uint64_t* size) override;
  bool FlushFileBuffers(platform::Handle file) override;
  bool CloseHandle(platform::Handle handle) override;
  platform::Handle FindFirstFileA(const std::string& pattern, platform::FindData* data) override;
  bool FindNextFileA(platform::Handle search, platform::FindData* data) override;
  bool FindClose(platform::Handle search) override;
  bool DeleteFileA(const std::string& path) override;
  bool RemoveDirectoryA(const std::string& path) override;
  bool MoveFileExA(const std::string& existing, const std::string& replacement,
                   uint32_t flags) override;
  std::string GetFullPathNameA(const std::string& path) override;
  uint32_t GetLastError() override { return lastError_; }
  std::string FormatMessageA(uint32_t messageId) override;

 private:
  struct Node {
    std::string path;  // as created, normalised to backslashes
    bool folder = false;
    uint32_t attributes = 0;
    std::string content;
    std::string linkTarget;  // key of the target folder, for links
    bool denied = false;
    uint64_t lastWriteTime = 0;
  };
  struct OpenFile {
    std::string key;
    uint32_t access = 0;
    uint32_t share = 0;
    uint64_t position = 0;
  };
  struct Search {
    std::vector<platform::FindData> entries;
    size_t next = 0;
  };

  static std::string Normalise(const std::string& path);
  static std::string Key(const std::string& path);
  static std::string ParentKey(const std::string& key);
  static std::string NameOf(const std::string& path);
  std::string Absolute(const std::string& path) const;
  // Key of the entry a path reaches, following links to folders on the way.
  std::string Resolve(const std::string& path) const;
  Node* Find(const std::string& key);
  const Node* Find(const std::string& key) const;
  Node& MakeNode(const std::string& path, bool folder, uint32_t attributes);
  bool Injected(Op op);
  bool FailWith(uint32_t error);
  bool ShareConflict(const std::string& key, uint32_t access, uint32_t share) const;
  bool IsOpen(const std::string& key, bool allowSharedDelete) const;
  uint64_t UsedBytes() const;
  void Record(const std::string& call) { calls_.push_back(call); }

  std::map<std::string, Node> nodes_;
  std::map<platform::Handle, OpenFile> files_;
  std::map<platform::Handle, Search> searches_;
  FaultInjector<Op> faults_;
  std::vector<std::string> calls_;
  std::string currentDirectory_ = "C:\\";
  std::optional<uint64_t> capacity_;
  uint32_t readChunk_ = 0;
  uint32_t lastError_ = 0;
  platform::Handle nextHandle_ = 0x100;
  // 2026-01-01 00:00:00 UTC as a file time.
  uint64_t writeClock_ = 134116992000000000;
  uint64_t Tick() {
    const uint64_t now = writeClock_;
    writeClock_ += 10000000;
    return now;
  }
};

}  // namespace dormivo::fakes
