// The WinINet URL cache, as the cleaning stage walks it. Each call mirrors the Windows call of
// the same name with its arguments.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace dormivo::platform {

// Two 32-bit halves of a 64-bit time stamp (FILETIME).
struct CacheFileTime {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

// The fixed head of one URL cache entry record (INTERNET_CACHE_ENTRY_INFOA), with the same
// members in the same order, so the real layer hands the caller's buffer to Windows as it is.
// The record is of variable length: the texts its pointers name are stored in the same buffer,
// after this head, and the enumeration reports the byte count of the whole record. A caller
// therefore allocates a buffer of the reported size and reads the head from its start.
struct UrlCacheEntryInfo {
  uint32_t dwStructSize;
  char* lpszSourceUrlName;
  char* lpszLocalFileName;
  uint32_t CacheEntryType;
  uint32_t dwUseCount;
  uint32_t dwHitRate;
  uint32_t dwSizeLow;
  uint32_t dwSizeHigh;
  CacheFileTime LastModifiedTime;
  CacheFileTime ExpireTime;
  CacheFileTime LastAccessTime;
  CacheFileTime LastSyncTime;
  char* lpHeaderInfo;
  uint32_t dwHeaderInfoSize;
  char* lpszFileExtension;
  uint32_t dwExemptDelta;
};

class UrlCache {
 public:
  virtual ~UrlCache() = default;

  // Starts an enumeration of the cache. `searchPattern` may be null (every entry). With no
  // buffer, or one smaller than `*entryInfoSize` says the first entry needs, the call fails with
  // ERROR_INSUFFICIENT_BUFFER and writes the needed byte count into `*entryInfoSize`; an empty
  // cache fails with ERROR_NO_MORE_ITEMS. On success the first entry is in the buffer and the
  // result is the enumeration handle; on failure the result is 0.
  virtual Handle FindFirstUrlCacheEntryA(const char* searchPattern, UrlCacheEntryInfo* entryInfo,
                                         uint32_t* entryInfoSize) = 0;
  // The next entry. With no buffer, or one too small, it fails with ERROR_INSUFFICIENT_BUFFER,
  // writes the needed size and stays at the same entry; after the last entry it fails with
  // ERROR_NO_MORE_ITEMS.
  virtual bool FindNextUrlCacheEntryA(Handle enumHandle, UrlCacheEntryInfo* entryInfo,
                                      uint32_t* entryInfoSize) = 0;
  virtual bool FindCloseUrlCache(Handle enumHandle) = 0;
  // Removes the entry with this source URL.
  virtual bool DeleteUrlCacheEntry(const std::string& urlName) = 0;

  virtual uint32_t GetLastError() = 0;
};

}  // namespace dormivo::platform
