#include "cleaning/uFunction.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "cleaning/UrlHistory.h"
#include "platform/exception.h"
#include "platform/scoped_handle.h"
#include "platform/win_constants.h"

namespace dormivo {
namespace {

using platform::ComInterface;
using platform::Handle;
using platform::RegistryKey;

constexpr char kTypedUrlsKey[] = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

// Opens a key path given from the root key: a leading backslash only says so and is not part of
// the path Windows is asked for.
uint32_t OpenKeyFromRoot(platform::Registry& registry, RegistryKey root, const std::string& path,
                         RegistryKey* key) {
  const std::string relative = !path.empty() && path[0] == '\\' ? path.substr(1) : path;
  return registry.RegOpenKeyExA(root, relative, 0, win::kKeyAllAccess, key);
}

// --- URL cache walk.

// One entry record in a buffer of the size the enumeration reported; no buffer for size 0.
class EntryBuffer {
 public:
  explicit EntryBuffer(uint32_t size) {
    if (size != 0)
      bytes_ = std::make_unique<std::byte[]>(size);
  }
  platform::UrlCacheEntryInfo* Info() const {
    return reinterpret_cast<platform::UrlCacheEntryInfo*>(bytes_.get());
  }

 private:
  std::unique_ptr<std::byte[]> bytes_;
};

// Walks the URL cache and deletes the entries that are cookies (`cookies`) or that are not. The
// first entry and at most `bound` more are examined. Each iteration first asks for the size of
// the next entry without a buffer; the error that query leaves decides whether the entry is
// fetched (ERROR_INSUFFICIENT_BUFFER) and whether the walk has ended (ERROR_NO_MORE_ITEMS).
void WalkUrlCache(platform::UrlCache& cache, bool cookies, int bound) {
  const auto decide = [&](const platform::UrlCacheEntryInfo& entry) {
    const bool isCookie = (entry.CacheEntryType & win::kCookieCacheEntry) != 0;
    if (isCookie == cookies && entry.lpszSourceUrlName != nullptr)
      cache.DeleteUrlCacheEntry(entry.lpszSourceUrlName);
  };

  uint32_t size = 0;
  cache.FindFirstUrlCacheEntryA(nullptr, nullptr, &size);  // only asks for the size
  platform::ScopedUrlEnumeration enumeration(cache);
  {
    const EntryBuffer buffer(size);
    enumeration.reset(cache.FindFirstUrlCacheEntryA(nullptr, buffer.Info(), &size));
    if (enumeration && buffer.Info() != nullptr)
      decide(*buffer.Info());
  }
  // Without an enumeration there is nothing to walk; a null handle is never passed on.
  if (!enumeration)
    return;
  const Handle handle = enumeration.get();

  for (int iteration = 1;; ++iteration) {
    size = 0;
    cache.FindNextUrlCacheEntryA(handle, nullptr, &size);
    const uint32_t error = cache.GetLastError();
    if (error == win::kErrorInsufficientBuffer) {
      const EntryBuffer buffer(size);
      if (cache.FindNextUrlCacheEntryA(handle, buffer.Info(), &size) && buffer.Info() != nullptr)
        decide(*buffer.Info());
    }
    if (error == win::kErrorNoMoreItems || iteration >= bound)
      break;
  }
}

// --- Folder walk.

// Whether the attribute mask of a folder search passes an entry over: it does when the entry
// has a hidden, system, volume-label or directory attribute that the mask lacks.
bool MaskExcludes(uint32_t attributes, uint32_t mask) {
  constexpr uint32_t kSpecial = win::kFileAttributeHidden | win::kFileAttributeSystem |
                                win::kFileAttributeVolumeLabel | win::kFileAttributeDirectory;
  return (attributes & kSpecial & ~mask) != 0;
}

bool FindNextMatching(platform::FileSystem& files, Handle search, uint32_t mask,
                      platform::FindData* entry) {
  while (files.FindNextFileA(search, entry)) {
    if (!MaskExcludes(entry->attributes, mask))
      return true;
  }
  return false;
}

// The search positioned at the first entry that matches `pattern` and passes the attribute mask;
// no open search when there is none.
platform::ScopedSearch FindFirstMatching(platform::FileSystem& files, const std::string& pattern,
                                         uint32_t mask, platform::FindData* entry) {
  platform::ScopedSearch search(files, files.FindFirstFileA(pattern, entry));
  if (search && MaskExcludes(entry->attributes, mask) &&
      !FindNextMatching(files, search.get(), mask, entry)) {
    search.reset();
  }
  return search;
}

const char* ShellFolderValueName(int kind) {
  switch (kind) {
    case kShellFolderCache:
      return "Cache";
    case kShellFolderCookies:
      return "Cookies";
    case kShellFolderHistory:
      return "History";
    case kShellFolderTemplates:
      return "Templates";
    default:
      return "Recent";
  }
}

}  // namespace

std::string AddTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\')
    return path;
  return path + '\\';
}

void CleaningStage(CleaningPlatform& platform, platform::WindowHandle owner,
                   const ExecutorSettings& settings) {
  if (settings.Recycle)
    platform.shell.SHEmptyRecycleBinA(owner, "", win::kSherbNoConfirmation);
  if (settings.Cache)
    ClearUrlCache(platform.urlCache);
  if (settings.Cookies)
    ClearCookies(platform.urlCache);
  if (settings.History) {
    ClearTypedUrls(platform.registry);
    ClearUrlHistory(platform.com);
  }
  if (settings.DocList)
    ClearShellFolder(platform.registry, platform.files, kShellFolderRecent);
  if (settings.TempFolder)
    ClearShellFolder(platform.registry, platform.files, kShellFolderTemplates);
}

void ClearUrlCache(platform::UrlCache& cache) {
  WalkUrlCache(cache, false, kClearUrlCacheBound);
}

void ClearCookies(platform::UrlCache& cache) {
  WalkUrlCache(cache, true, kClearCookiesBound);
}

void ClearTypedUrls(platform::Registry& registry) {
  RegistryKey key = 0;
  if (OpenKeyFromRoot(registry, platform::kHkeyCurrentUser, kTypedUrlsKey, &key) !=
      win::kErrorSuccess) {
    return;
  }
  const platform::ScopedKey keyOwner(registry, key);
  uint32_t count = 0, longestName = 0;
  if (registry.RegQueryInfoKeyA(key, nullptr, nullptr, &count, &longestName, nullptr) !=
      win::kErrorSuccess) {
    return;
  }
  // Every name first: deleting while enumerating by index would skip values.
  std::vector<std::string> names;
  std::vector<char> name(static_cast<size_t>(longestName) + 1);
  for (uint32_t index = 0; index < count; ++index) {
    uint32_t length = static_cast<uint32_t>(name.size());
    if (registry.RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr) ==
            win::kErrorSuccess &&
        length < name.size()) {
      names.emplace_back(name.data(), length);
    }
  }
  for (const std::string& valueName : names) registry.RegDeleteValueA(key, valueName);
}

void ClearUrlHistory(platform::Com& com) {
  ComInterface created = 0;
  const int32_t createResult =
      com.CoCreateInstance(kClsidCUrlHistory, 0, win::kClsctxInprocServer | win::kClsctxLocalServer,
                           platform::kIidIUnknown, &created);
  if (createResult < 0 || created == 0) {
    throw Exception("Cannot create the URL history object (" +
                    Hex32(static_cast<uint32_t>(createResult)) + ")");
  }
  const platform::ScopedInterface unknown(com, created);
  ComInterface queried = 0;
  const int32_t queryResult = com.QueryInterface(unknown.get(), kIidIUrlHistoryStg2, &queried);
  const platform::ScopedInterface history(com, queried);
  if (queryResult < 0 || !history) {
    throw Exception("The URL history object does not offer IUrlHistoryStg2 (" +
                    Hex32(static_cast<uint32_t>(queryResult)) + ")");
  }
  com.ClearHistory(history.get());
}

std::string GetShellFolder(platform::Registry& registry, int kind) {
  const std::string valueName = ShellFolderValueName(kind);
  RegistryKey key = 0;
  if (registry.RegOpenKeyExA(platform::kHkeyCurrentUser, kShellFoldersKey, 0, win::kKeyAllAccess,
                             &key) != win::kErrorSuccess) {
    return {};
  }
  const platform::ScopedKey keyOwner(registry, key);
  uint32_t type = 0, size = 0;
  if (registry.RegQueryValueExA(key, valueName, &type, nullptr, &size) != win::kErrorSuccess ||
      size == 0) {
    return {};
  }
  std::vector<uint8_t> data(size);
  const uint32_t read = registry.RegQueryValueExA(key, valueName, &type, data.data(), &size);
  if (read != win::kErrorSuccess) {
    throw Exception("Cannot read the registry value \"" + valueName + "\" (error " +
                    std::to_string(read) + ")");
  }
  if (type != win::kRegSz && type != win::kRegExpandSz) {
    throw Exception("The registry value \"" + valueName + "\" is not a string");
  }
  const size_t length = std::min<size_t>(size, data.size());
  const auto* text = reinterpret_cast<const char*>(data.data());
  return std::string(text, std::find(text, text + length, '\0'));
}

void ClearShellFolder(platform::Registry& registry, platform::FileSystem& files, int kind) {
  const std::string path = GetShellFolder(registry, kind);
  try {
    EmptyFolder(files, path);
  } catch (...) {
    // Whatever stops the walk leaves this folder as far as it got; the stage goes on.
  }
}

void EmptyFolder(platform::FileSystem& files, const std::string& path) {
  // An empty path would make the search start at the root of the current drive.
  if (path.empty())
    return;
  const std::string folder = AddTrailingBackslash(path);
  platform::FindData entry;
  const platform::ScopedSearch search =
      FindFirstMatching(files, folder + "*.*", win::kFindAnyFile, &entry);
  if (!search)
    return;
  do {
    // "." and "..", and every other name beginning with a full stop, stay.
    if (entry.name.empty() || entry.name[0] == '.')
      continue;
    const std::string entryPath = folder + entry.name;
    if (entry.attributes & win::kFileAttributeDirectory) {
      // A junction or a link to a folder leads outside this folder: neither enter nor remove it.
      if (entry.attributes & win::kFileAttributeReparsePoint)
        continue;
      EmptyFolder(files, entryPath);
      files.RemoveDirectoryA(entryPath);
    } else {
      files.DeleteFileA(entryPath);
    }
  } while (FindNextMatching(files, search.get(), win::kFindAnyFile, &entry));
}

}  // namespace dormivo
