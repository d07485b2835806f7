// Path helpers and the privacy cleaning stage.
#pragma once

#include <string>

#include "platform/com.h"
#include "platform/file_system.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/url_cache.h"
#include "storage/uIniOption.h"

namespace dormivo {

// The path unchanged when its last character is a backslash, otherwise the path followed by
// one backslash.
std::string AddTrailingBackslash(const std::string& path);

// Every platform service the cleaning stage reaches.
struct CleaningPlatform {
  platform::Shell& shell;
  platform::UrlCache& urlCache;
  platform::Registry& registry;
  platform::Com& com;
  platform::FileSystem& files;
};

// Shell folder kinds: which value of the current user's Shell Folders key GetShellFolder reads.
inline constexpr int kShellFolderCache = 1;
inline constexpr int kShellFolderCookies = 2;
inline constexpr int kShellFolderHistory = 3;
inline constexpr int kShellFolderRecent = 4;  // also every number without a kind of its own
inline constexpr int kShellFolderTemplates = 5;

// Iteration bounds of the URL cache walks: after the first entry, at most this many more.
inline constexpr int kClearUrlCacheBound = 999;
inline constexpr int kClearCookiesBound = 200;

// Removes the traces the settings switch on, in this order: the recycle bins (Recycle), the URL
// cache entries that are not cookies (Cache), the cookie entries (Cookies), the typed addresses
// and the URL history (History), the contents of the "Recent" folder (DocList) and of the
// "Templates" folder (TempFolder). Raises dormivo::Exception when the URL history object cannot
// be created or lacks IUrlHistoryStg2, or when the "Recent" or "Templates" value is no string or
// cannot be read; the later steps then do not run. Running out of memory raises std::bad_alloc.
void CleaningStage(CleaningPlatform& platform, platform::WindowHandle owner,
                   const ExecutorSettings& settings);

// Deletes the URL cache entries that are not cookies, among the first 1,000 the enumeration gives.
void ClearUrlCache(platform::UrlCache& cache);
// Deletes the cookie entries of the URL cache, among the first 201 the enumeration gives.
void ClearCookies(platform::UrlCache& cache);
// Deletes every value of HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLs; the
// key stays. A key that cannot be opened is left alone.
void ClearTypedUrls(platform::Registry& registry);
// Clears the current user's URL history through IUrlHistoryStg2::ClearHistory (whose result is
// ignored). Raises when the object cannot be created or does not offer the interface.
void ClearUrlHistory(platform::Com& com);
// The path registered for a shell folder kind under the current user's Shell Folders key, as
// stored (environment references are not expanded); empty when the key or the value is missing
// or empty. Raises when the value is no string (REG_SZ or REG_EXPAND_SZ) or cannot be read.
std::string GetShellFolder(platform::Registry& registry, int kind);
// Empties the folder registered for a kind. A failing lookup raises; whatever fails while the
// folder is emptied is dropped.
void ClearShellFolder(platform::Registry& registry, platform::FileSystem& files, int kind);
// Deletes every file and subfolder inside `path`, depth first, and keeps the folder itself. An
// entry whose name begins with "." stays, and so does whatever cannot be deleted and every
// folder above it. A folder entry that is a reparse point (a junction or a link to a folder) is
// neither entered nor removed, so nothing outside `path` is reached. An empty path does nothing.
void EmptyFolder(platform::FileSystem& files, const std::string& path);

}  // namespace dormivo
