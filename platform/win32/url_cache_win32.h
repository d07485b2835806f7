// The real WinINet URL cache: each call forwards to the Windows call of the same name, with the
// caller's entry buffer handed through unchanged.
#pragma once

#include "platform/url_cache.h"

namespace dormivo::platform {

class Win32UrlCache final : public UrlCache {
 public:
  Handle FindFirstUrlCacheEntryA(const char* searchPattern, UrlCacheEntryInfo* entryInfo,
                                 uint32_t* entryInfoSize) override;
  bool FindNextUrlCacheEntryA(Handle enumHandle, UrlCacheEntryInfo* entryInfo,
                              uint32_t* entryInfoSize) override;
  bool FindCloseUrlCache(Handle enumHandle) override;
  bool DeleteUrlCacheEntry(const std::string& urlName) override;
  uint32_t GetLastError() override;
};

}  // namespace dormivo::platform
