#include "platform/win32/url_cache_win32.h"

#include <windows.h>
#include <wininet.h>

#include <cstddef>

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

}  // namespace

Handle Win32UrlCache::FindFirstUrlCacheEntryA(const char* searchPattern,
                                              UrlCacheEntryInfo* entryInfo,
                                              uint32_t* entryInfoSize) {
  DWORD size = *entryInfoSize;
  HANDLE found = ::FindFirstUrlCacheEntryA(searchPattern, ToWin(entryInfo), &size);
  *entryInfoSize = size;
  return reinterpret_cast<Handle>(found);
}

bool Win32UrlCache::FindNextUrlCacheEntryA(Handle enumHandle, UrlCacheEntryInfo* entryInfo,
                                           uint32_t* entryInfoSize) {
  DWORD size = *entryInfoSize;
  const BOOL ok =
      ::FindNextUrlCacheEntryA(reinterpret_cast<HANDLE>(enumHandle), ToWin(entryInfo), &size);
  *entryInfoSize = size;
  return ok != FALSE;
}

bool Win32UrlCache::FindCloseUrlCache(Handle enumHandle) {
  return ::FindCloseUrlCache(reinterpret_cast<HANDLE>(enumHandle)) != FALSE;
}

bool Win32UrlCache::DeleteUrlCacheEntry(const std::string& urlName) {
  return ::DeleteUrlCacheEntryA(urlName.c_str()) != FALSE;
}

uint32_t Win32UrlCache::GetLastError() {
  return ::GetLastError();
}

}  // namespace dormivo::platform
