#include "tests/fakes/fake_file_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/win_constants.h"
#include "tests/fakes/call_text.h"

namespace dormivo::fakes {
namespace {

using platform::FindData;
using platform::Handle;
using platform::kInvalidHandle;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Wildcard match of a find pattern's last component, as FindFirstFileA does it: "*" any run,
// "?" one character, and "*.*" matches every name, those without a dot included.
bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*")
    return true;
  const std::string p = Upper(pattern), n = Upper(name);
  size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

FakeFileSystem::FakeFileSystem() {
  Node root;
  root.path = "C:";
  root.folder = true;
  root.attributes = win::kFileAttributeDirectory;
  nodes_.emplace("C:", root);
}

std::string FakeFileSystem::Normalise(const std::string& path) {
  std::string out;
  for (char c : path) {
    const char d = c == '/' ? '\\' : c;
    if (d == '\\' && !out.empty() && out.back() == '\\')
      continue;  // doubled separators
    out.push_back(d);
  }
  while (out.size() > 1 && out.back() == '\\') out.pop_back();
  return out;
}

std::string FakeFileSystem::Key(const std::string& path) {
  return Upper(Normalise(path));
}

std::string FakeFileSystem::ParentKey(const std::string& key) {
  const size_t slash = key.rfind('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

std::string FakeFileSystem::NameOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FakeFileSystem::Absolute(const std::string& path) const {
  const std::string p = Normalise(path);
  if (p.size() >= 2 && p[1] == ':')
    return p;
  if (!p.empty() && p[0] == '\\')
    return Normalise(currentDirectory_.substr(0, 2) + p);
  return Normalise(currentDirectory_ + "\\" + p);
}

std::string FakeFileSystem::Resolve(const std::string& path) const {
  std::string key = Key(Absolute(path));
  // Follow links component by component, from the left, until no prefix is a link.
  for (int guard = 0; guard < 64; ++guard) {
    bool changed = false;
    size_t pos = 0;
    while (true) {
      pos = key.find('\\', pos + 1);
      const std::string prefix = key.substr(0, pos);
      const Node* node = Find(prefix);
      if (node != nullptr && !node->linkTarget.empty() && pos != std::string::npos) {
        key = node->linkTarget + key.substr(pos);
        changed = true;
        break;
      }
      if (pos == std::string::npos)
        break;
    }
    if (!changed)
      break;
  }
  return key;
}

FakeFileSystem::Node* FakeFileSystem::Find(const std::string& key) {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

const FakeFileSystem::Node* FakeFileSystem::Find(const std::string& key) const {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

FakeFileSystem::Node& FakeFileSystem::MakeNode(const std::string& path, bool folder,
                                               uint32_t attributes) {
  const std::string full = Absolute(path);
  const std::string parent = ParentKey(Key(full));
  if (!parent.empty() && Find(parent) == nullptr) {
    AddFolder(full.substr(0, full.rfind('\\')));
  }
  Node& node = nodes_[Resolve(full)];
  node.path = full;
  node.folder = folder;
  node.attributes = attributes;
  return node;
}

void FakeFileSystem::AddFolder(const std::string& path, uint32_t attributes) {
  MakeNode(path, true, attributes | win::kFileAttributeDirectory);
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& content,
                             uint32_t attributes) {
  Node& node = MakeNode(path, false, attributes);
  node.content = content;
  node.lastWriteTime = Tick();
}

void FakeFileSystem::AddFolderLink(const std::string& path, const std::string& target) {
  Node& node = MakeNode(path, true, win::kFileAttributeDirectory | win::kFileAttributeReparsePoint);
  node.linkTarget = Key(Absolute(target));
}

void FakeFileSystem::DenyAccess(const std::string& path) {
  if (Node* node = Find(Resolve(path)))
    node->denied = true;
}

void FakeFileSystem::SetLastWriteTime(const std::string& path, uint64_t fileTime) {
  if (Node* node = Find(Resolve(path)))
    node->lastWriteTime = fileTime;
}

void FakeFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  if (Node* node = Find(Resolve(path)))
    node->attributes = attributes;
}

bool FakeFileSystem::Exists(const std::string& path) const {
  return Find(Resolve(path)) != nullptr;
}

std::optional<std::string> FakeFileSystem::Content(const std::string& path) const {
  const Node* node = Find(Resolve(path));
  if (node == nullptr || node->folder)
    return std::nullopt;
  return node->content;
}

std::optional<uint32_t> FakeFileSystem::Attributes(const std::string& path) const {
  const Node* node = Find(Resolve(path));
  if (node == nullptr)
    return std::nullopt;
  return node->attributes;
}

std::vector<std::string> FakeFileSystem::Paths() const {
  std::vector<std::string> out;
  for (const auto& [key, node] : nodes_) {
    if (key != "C:")
      out.push_back(node.path);
  }
  return out;
}

void FakeFileSystem::Fail(Op op, uint32_t error, int skip, int times) {
  faults_.Add({op, error, skip, times});
}

void FakeFileSystem::Throw(Op op, int skip, int times) {
  faults_.Add({op, 0, skip, times, true});
}

std::vector<std::string> FakeFileSystem::CallsOf(const std::string& name) const {
  return CallsNamed(calls_, name);
}

bool FakeFileSystem::Injected(Op op) {
  const auto* fault = faults_.Meet(op);
  if (fault == nullptr)
    return false;
  if (fault->throws)
    throw InjectedException("injected exception");
  lastError_ = fault->error;
  return true;
}

bool FakeFileSystem::FailWith(uint32_t error) {
  lastError_ = error;
  return false;
}

bool FakeFileSystem::ShareConflict(const std::string& key, uint32_t access, uint32_t share) const {
  const bool reads = access & win::kGenericRead, writes = access & win::kGenericWrite,
             deletes = access & win::kDelete;
  for (const auto& [handle, open] : files_) {
    if (open.key != key)
      continue;
    if (reads && !(open.share & win::kFileShareRead))
      return true;
    if (writes && !(open.share & win::kFileShareWrite))
      return true;
    if (deletes && !(open.share & win::kFileShareDelete))
      return true;
    if ((open.access & win::kGenericRead) && !(share & win::kFileShareRead))
      return true;
    if ((open.access & win::kGenericWrite) && !(share & win::kFileShareWrite))
      return true;
    if ((open.access & win::kDelete) && !(share & win::kFileShareDelete))
      return true;
  }
  return false;
}

bool FakeFileSystem::IsOpen(const std::string& key, bool allowSharedDelete) const {
  for (const auto& [handle, open] : files_) {
    if (open.key != key)
      continue;
    if (allowSharedDelete && (open.share & win::kFileShareDelete))
      continue;
    return true;
  }
  return false;
}

uint64_t FakeFileSystem::UsedBytes() const {
  uint64_t used = 0;
  for (const auto& [key, node] : nodes_) used += node.content.size();
  return used;
}

Handle FakeFileSystem::CreateFileA(const std::string& path, uint32_t desiredAccess,
                                   uint32_t shareMode, uint32_t creationDisposition,
                                   uint32_t flagsAndAttributes) {
  Record("CreateFileA(" + path + "," + Hex(desiredAccess) + "," + std::to_string(shareMode) + "," +
         std::to_string(creationDisposition) + "," + Hex(flagsAndAttributes) + ")");
  if (Injected(Op::CreateFile))
    return kInvalidHandle;
  const std::string key = Resolve(path);
  Node* node = Find(key);
  const Node* parent = Find(ParentKey(key));
  if (node == nullptr) {
    if (parent == nullptr || !parent->folder) {
      FailWith(win::kErrorPathNotFound);
      return kInvalidHandle;
    }
    if (creationDisposition == win::kOpenExisting ||
        creationDisposition == win::kTruncateExisting) {
      FailWith(win::kErrorFileNotFound);
      return kInvalidHandle;
    }
  } else {
    if (node->folder || node->denied) {
      FailWith(win::kErrorAccessDenied);
      return kInvalidHandle;
    }
    if (creationDisposition == win::kCreateNew) {
      FailWith(win::kErrorFileExists);
      return kInvalidHandle;
    }
    const bool truncates =
        creationDisposition == win::kCreateAlways || creationDisposition == win::kTruncateExisting;
    if ((node->attributes & win::kFileAttributeReadonly) &&
        ((desiredAccess & (win::kGenericWrite | win::kDelete)) || truncates)) {
      FailWith(win::kErrorAccessDenied);
      return kInvalidHandle;
    }
    if (ShareConflict(key, desiredAccess, shareMode)) {
      FailWith(win::kErrorSharingViolation);
      return kInvalidHandle;
    }
  }
  if (node == nullptr) {
    Node created;
    created.path = Absolute(path);
    created.attributes = flagsAndAttributes & 0xFFFF & ~win::kFileAttributeNormal;
    if (created.attributes == 0)
      created.attributes = win::kFileAttributeArchive;
    created.lastWriteTime = Tick();
    node = &nodes_.emplace(key, created).first->second;
    lastError_ = 0;
  } else if (creationDisposition == win::kCreateAlways ||
             creationDisposition == win::kTruncateExisting) {
    node->content.clear();
    node->lastWriteTime = Tick();
    lastError_ = creationDisposition == win::kCreateAlways ? win::kErrorAlreadyExists : 0;
  }
  const Handle handle = nextHandle_++;
  files_[handle] = OpenFile{key, desiredAccess, shareMode, 0};
  return handle;
}

bool FakeFileSystem::ReadFile(Handle file, void* buffer, uint32_t bytesToRead,
                              uint32_t* bytesRead) {
  Record("ReadFile(" + std::to_string(bytesToRead) + ")");
  *bytesRead = 0;
  auto it = files_.find(file);
  if (it == files_.end())
    return FailWith(win::kErrorInvalidHandle);
  if (!(it->second.access & win::kGenericRead))
    return FailWith(win::kErrorAccessDenied);
  if (Injected(Op::ReadFile))
    return false;
  const std::string& content = Find(it->second.key)->content;
  const uint64_t position = std::min<uint64_t>(it->second.position, content.size());
  uint64_t count = std::min<uint64_t>(bytesToRead, content.size() - position);
  if (readChunk_ != 0)
    count = std::min<uint64_t>(count, readChunk_);
  std::memcpy(buffer, content.data() + position, count);
  it->second.position = position + count;
  *bytesRead = static_cast<uint32_t>(count);
  return true;
}

bool FakeFileSystem::WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite,
                               uint32_t* bytesWritten) {
  Record("WriteFile(" + std::to_string(bytesToWrite) + ")");
  *bytesWritten = 0;
  auto it = files_.find(file);
  if (it == files_.end())
    return FailWith(win::kErrorInvalidHandle);
  if (!(it->second.access & win::kGenericWrite))
    return FailWith(win::kErrorAccessDenied);
  if (Injected(Op::WriteFile))
    return false;
  std::string& content = Find(it->second.key)->content;
  uint64_t count = bytesToWrite;
  bool full = false;
  if (capacity_) {
    const uint64_t used = UsedBytes();
    const uint64_t end = it->second.position + bytesToWrite;
    const uint64_t growth = end > content.size() ? end - content.size() : 0;
    if (used + growth > *capacity_) {
      const uint64_t room = *capacity_ > used ? *capacity_ - used : 0;
      const uint64_t headroom =
          content.size() > it->second.position ? content.size() - it->second.position : 0;
      count = std::min<uint64_t>(bytesToWrite, room + headroom);
      full = true;
    }
  }
  if (content.size() < it->second.position + count)
    content.resize(it->second.position + count);
  std::memcpy(content.data() + it->second.position, buffer, count);
  Find(it->second.key)->lastWriteTime = Tick();
  it->second.position += count;
  *bytesWritten = static_cast<uint32_t>(count);
  return full ? FailWith(win::kErrorDiskFull) : true;
}

bool FakeFileSystem::GetFileSizeEx(Handle file, uint64_t* size) {
  Record("GetFileSizeEx()");
  *size = 0;
  auto it = files_.find(file);
  if (it == files_.end())
    return FailWith(win::kErrorInvalidHandle);
  if (Injected(Op::GetFileSize))
    return false;
  *size = Find(it->second.key)->content.size();
  return true;
}

bool FakeFileSystem::FlushFileBuffers(Handle file) {
  Record("FlushFileBuffers()");
  if (files_.find(file) == files_.end())
    return FailWith(win::kErrorInvalidHandle);
  return !Injected(Op::FlushFileBuffers);
}

bool FakeFileSystem::CloseHandle(Handle handle) {
  Record("CloseHandle()");
  if (Injected(Op::CloseHandle))
    return false;
  if (files_.erase(handle) == 0)
    return FailWith(win::kErrorInvalidHandle);
  return true;
}

Handle FakeFileSystem::FindFirstFileA(const std::string& pattern, FindData* data) {
  Record("FindFirstFileA(" + pattern + ")");
  if (Injected(Op::FindFirstFile))
    return kInvalidHandle;
  const std::string full = Normalise(Absolute(pattern));
  const size_t slash = full.rfind('\\');
  const std::string folderPath = slash == std::string::npos ? full : full.substr(0, slash);
  const std::string namePattern = slash == std::string::npos ? full : full.substr(slash + 1);
  const std::string folderKey = Resolve(folderPath);
  const Node* folder = Find(folderKey);
  if (folder == nullptr || !folder->folder) {
    FailWith(folder == nullptr ? win::kErrorPathNotFound : win::kErrorFileNotFound);
    return kInvalidHandle;
  }
  Search search;
  const bool wildcard = namePattern.find_first_of("*?") != std::string::npos;
  if (wildcard && folderKey.find('\\') != std::string::npos) {
    // Every folder but a drive root lists itself and its parent first.
    for (const char* dot : {".", ".."}) {
      if (WildcardMatch(namePattern, dot)) {
        search.entries.push_back(FindData{win::kFileAttributeDirectory, dot});
      }
    }
  }
  for (const auto& [key, node] : nodes_) {
    if (ParentKey(key) != folderKey)
      continue;
    const std::string name = NameOf(node.path);
    if (!WildcardMatch(namePattern, name))
      continue;
    search.entries.push_back(
        FindData{node.attributes, name, node.folder ? 0 : node.content.size(), node.lastWriteTime});
  }
  if (search.entries.empty()) {
    FailWith(win::kErrorFileNotFound);
    return kInvalidHandle;
  }
  *data = search.entries[0];
  search.next = 1;
  const Handle handle = nextHandle_++;
  searches_[handle] = std::move(search);
  return handle;
}

bool FakeFileSystem::FindNextFileA(Handle search, FindData* data) {
  Record("FindNextFileA()");
  auto it = searches_.find(search);
  if (it == searches_.end())
    return FailWith(win::kErrorInvalidHandle);
  if (Injected(Op::FindNextFile))
    return false;
  if (it->second.next >= it->second.entries.size())
    return FailWith(win::kErrorNoMoreFiles);
  *data = it->second.entries[it->second.next++];
  return true;
}

bool FakeFileSystem::FindClose(Handle search) {
  Record("FindClose()");
  if (searches_.erase(search) == 0)
    return FailWith(win::kErrorInvalidHandle);
  return true;
}

bool FakeFileSystem::DeleteFileA(const std::string& path) {
  Record("DeleteFileA(" + path + ")");
  if (Injected(Op::DeleteFile))
    return false;
  const std::string key = Resolve(path);
  const Node* node = Find(key);
  if (node == nullptr)
    return FailWith(win::kErrorFileNotFound);
  if (node->folder || node->denied || (node->attributes & win::kFileAttributeReadonly)) {
    return FailWith(win::kErrorAccessDenied);
  }
  if (IsOpen(key, true))
    return FailWith(win::kErrorSharingViolation);
  nodes_.erase(key);
  return true;
}

bool FakeFileSystem::RemoveDirectoryA(const std::string& path) {
  Record("RemoveDirectoryA(" + path + ")");
  if (Injected(Op::RemoveDirectory))
    return false;
  // A link is removed itself, so resolve only the folders above it.
  const std::string full = Absolute(path);
  const std::string parent = Resolve(full.substr(0, full.rfind('\\')));
  const std::string key = parent + "\\" + Upper(NameOf(Normalise(full)));
  const Node* node = Find(key);
  if (node == nullptr)
    return FailWith(win::kErrorFileNotFound);
  if (!node->folder)
    return FailWith(win::kErrorDirectory);
  if (node->denied || (node->attributes & win::kFileAttributeReadonly)) {
    return FailWith(win::kErrorAccessDenied);
  }
  if (node->linkTarget.empty()) {
    for (const auto& [other, unused] : nodes_) {
      if (ParentKey(other) == key)
        return FailWith(win::kErrorDirNotEmpty);
    }
  }
  nodes_.erase(key);
  return true;
}

bool FakeFileSystem::MoveFileExA(const std::string& existing, const std::string& replacement,
                                 uint32_t flags) {
  Record("MoveFileExA(" + existing + "," + replacement + "," + std::to_string(flags) + ")");
  if (Injected(Op::MoveFileEx))
    return false;
  const std::string from = Resolve(existing), to = Resolve(replacement);
  Node* source = Find(from);
  if (source == nullptr)
    return FailWith(win::kErrorFileNotFound);
  if (Find(ParentKey(to)) == nullptr)
    return FailWith(win::kErrorPathNotFound);
  if (IsOpen(from, true))
    return FailWith(win::kErrorSharingViolation);
  if (const Node* target = Find(to); target != nullptr && to != from) {
    if (!(flags & win::kMovefileReplaceExisting))
      return FailWith(win::kErrorAlreadyExists);
    if (target->folder || target->denied || (target->attributes & win::kFileAttributeReadonly)) {
      return FailWith(win::kErrorAccessDenied);
    }
    if (IsOpen(to, true))
      return FailWith(win::kErrorSharingViolation);
  }
  Node moved = *source;
  moved.path = Absolute(replacement);
  nodes_.erase(from);
  nodes_[to] = moved;
  return true;
}

std::string FakeFileSystem::GetFullPathNameA(const std::string& path) {
  Record("GetFullPathNameA(" + path + ")");
  return Absolute(path);
}

std::string FakeFileSystem::FormatMessageA(uint32_t messageId) {
  static const std::map<uint32_t, std::string> texts = {
      {win::kErrorFileNotFound, "The system cannot find the file specified."},
      {win::kErrorPathNotFound, "The system cannot find the path specified."},
      {win::kErrorAccessDenied, "Access is denied."},
      {win::kErrorInvalidHandle, "The handle is invalid."},
      {win::kErrorNotEnoughMemory,
       "Not enough memory resources are available to process this "
       "command."},
      {win::kErrorReadFault, "The system cannot read from the specified device."},
      {win::kErrorSharingViolation,
       "The process cannot access the file because it is being used "
       "by another process."},
      {win::kErrorDiskFull, "There is not enough space on the disk."},
  };
  auto it = texts.find(messageId);
  return it == texts.end() ? std::string() : it->second + "\r\n";
}

}  // namespace dormivo::fakes
