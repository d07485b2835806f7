#include "platform/win32/url_cache_win32.h"

#include <windows.h>
#include <wininet.h>

#include <cstddef>

#include "platform/win32/system_library.h"

namespace dormivo::platform {
namespace {

// The record head the core reads is the Windows structure itself.
static_assert(sizeof(UrlCacheEntryInfo) == sizeof(INTERNET_CACHE_ENTRY_INFOA));
static_assert(offsetof(UrlCacheEntryInfo, lpszSourceUrlName) ==
              offsetof(INTERNET_CACHE_ENTRY_INFOA, lpszSourceUrlName));
static_assert(offsetof(UrlCacheEntryInfo, lpszLocalFileName) ==
              offsetof(INTERNET_CACHE_ENTRY_INFOA, lpszLocalFileName));
static_assert(offsetof(UrlCacheEntryInfo, CacheEntryType) ==
              offsetof(INTERNET_CACHE_ENTRY_INFOA, CacheEntryType));
static_assert(offsetof(UrlCacheEntryInfo, LastModifiedTime) ==
              offsetof(INTERNET_CACHE_ENTRY_INFOA, LastModifiedTime));
static_assert(offsetof(UrlCacheEntryInfo, lpHeaderInfo) ==
              offsetof(INTERNET_CACHE_ENTRY_INFOA, lpHeaderInfo));
static_assert(offsetof(UrlCacheEntryInfo, lpszFileExtension) ==
              offsetof(INTERNET_CACHE_ENTRY_INFOA, lpszFileExtension));
static_assert(offsetof(UrlCacheEntryInfo, dwExemptDelta) ==
              offsetof(INTERNET_CACHE_ENTRY_INFOA, dwExemptDelta));

LPINTERNET_CACHE_ENTRY_INFOA ToWin(UrlCacheEntryInfo* entry) {
  return reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(entry);
}

// WinINet is not among the DLLs Windows always takes from its own folder, so its functions are
// looked up in the system folder's copy when first used.
template <typename Function>
Function Wininet(const char* name) {
  return SystemProc<Function>("wininet.dll", name);
}

// A call whose function could not be found fails with ERROR_PROC_NOT_FOUND.
template <typename Function>
bool Missing(Function function) {
  if (function != nullptr)
    return false;
  SetLastError(ERROR_PROC_NOT_FOUND);
  return true;
}

using FindFirstFn = HANDLE(WINAPI*)(LPCSTR, LPINTERNET_CACHE_ENTRY_INFOA, LPDWORD);
using FindNextFn = BOOL(WINAPI*)(HANDLE, LPINTERNET_CACHE_ENTRY_INFOA, LPDWORD);
using FindCloseFn = BOOL(WINAPI*)(HANDLE);
using DeleteFn = BOOL(WINAPI*)(LPCSTR);

}  // namespace

Handle Win32UrlCache::FindFirstUrlCacheEntryA(const char* searchPattern,
                                              UrlCacheEntryInfo* entryInfo,
                                              uint32_t* entryInfoSize) {
  DWORD size = *entryInfoSize;
  static const auto findFirst = Wininet<FindFirstFn>("FindFirstUrlCacheEntryA");
  HANDLE found = Missing(findFirst) ? nullptr : findFirst(searchPattern, ToWin(entryInfo), &size);
  *entryInfoSize = size;
  return reinterpret_cast<Handle>(found);
}

bool Win32UrlCache::FindNextUrlCacheEntryA(Handle enumHandle, UrlCacheEntryInfo* entryInfo,
                                           uint32_t* entryInfoSize) {
  DWORD size = *entryInfoSize;
  static const auto findNext = Wininet<FindNextFn>("FindNextUrlCacheEntryA");
  const BOOL ok = Missing(findNext)
                      ? FALSE
                      : findNext(reinterpret_cast<HANDLE>(enumHandle), ToWin(entryInfo), &size);
  *entryInfoSize = size;
  return ok != FALSE;
}

bool Win32UrlCache::FindCloseUrlCache(Handle enumHandle) {
  static const auto findClose = Wininet<FindCloseFn>("FindCloseUrlCache");
  return !Missing(findClose) && findClose(reinterpret_cast<HANDLE>(enumHandle)) != FALSE;
}

bool Win32UrlCache::DeleteUrlCacheEntry(const std::string& urlName) {
  static const auto deleteEntry = Wininet<DeleteFn>("DeleteUrlCacheEntryA");
  return !Missing(deleteEntry) && deleteEntry(urlName.c_str()) != FALSE;
}

uint32_t Win32UrlCache::GetLastError() {
  return ::GetLastError();
}

}  // namespace dormivo::platform
