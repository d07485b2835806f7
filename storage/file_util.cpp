#include "storage/file_util.h"

#include <limits>

#include "platform/exception.h"
#include "platform/scoped_handle.h"
#include "platform/win_constants.h"

namespace dormivo {
namespace {

[[noreturn]] void RaiseFileError(platform::FileSystem& fs, const char* verb,
                                 const std::string& path) {
  // Take the error code first: expanding the path is a system call of its own.
  const uint32_t code = fs.GetLastError();
  const std::string full = fs.GetFullPathNameA(path);
  throw Exception(std::string("Cannot ") + verb + " file \"" + full + "\". " +
                  SysErrorMessage(fs, code));
}

}  // namespace

bool FileExists(platform::FileSystem& fs, const std::string& path) {
  platform::FindData found;
  const platform::ScopedSearch search(fs, fs.FindFirstFileA(path, &found));
  if (!search)
    return false;
  return (found.attributes & win::kFileAttributeDirectory) == 0;
}

std::string SysErrorMessage(platform::FileSystem& fs, uint32_t errorCode) {
  std::string text = fs.FormatMessageA(errorCode);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

void RaiseOpenError(platform::FileSystem& fs, const std::string& path) {
  RaiseFileError(fs, "open", path);
}

void RaiseCreateError(platform::FileSystem& fs, const std::string& path) {
  RaiseFileError(fs, "create", path);
}

std::string ReadWholeFile(platform::FileSystem& fs, platform::Handle file) {
  uint64_t size = 0;
  if (!fs.GetFileSizeEx(file, &size) || size > std::numeric_limits<uint32_t>::max()) {
    throw Exception("Stream read error");
  }
  std::string content(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < content.size()) {
    uint32_t got = 0;
    const auto want = static_cast<uint32_t>(content.size() - done);
    if (!fs.ReadFile(file, content.data() + done, want, &got) || got == 0) {
      throw Exception("Stream read error");
    }
    done += got;
  }
  return content;
}

}  // namespace dormivo
