// An in-memory WinINet URL cache for the native tests. It follows the enumeration protocol of
// the real cache: a call without a buffer, or with one too small, fails with
// ERROR_INSUFFICIENT_BUFFER and reports the record's size (staying at the same entry); the end
// is ERROR_NO_MORE_ITEMS; an empty cache gives no handle. Records are written into the caller's
// buffer as the real one writes them: the fixed head, then the texts it points to. Every call is
// recorded with its arguments, and faults can be injected per kind of call.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/url_cache.h"
#include "tests/fakes/fault_injector.h"

namespace dormivo::fakes {

class FakeUrlCache final : public platform::UrlCache {
 public:
  enum class Op {
    FindFirst,          // FindFirstUrlCacheEntryA, either form
    FindNextSizeQuery,  // FindNextUrlCacheEntryA without a buffer
    FindNextFetch,      // FindNextUrlCacheEntryA with a buffer
    Delete,             // DeleteUrlCacheEntry
  };

  // Adds an entry at the end of the enumeration order.
  void AddEntry(const std::string& url, uint32_t type, const std::string& localFile = {});
  bool Contains(const std::string& url) const;
  // The URLs still in the cache, in enumeration order.
  std::vector<std::string> Urls() const;
  size_t OpenEnumerationCount() const { return enumerations_.size(); }
  // How many entry records were written into callers' buffers.
  int RecordsHandedOut() const { return recordsHandedOut_; }
  // The byte count a record of this entry takes.
  static uint32_t RecordSize(const std::string& url, const std::string& localFile = {});

  // The call of `op` after `skip` successful ones fails with `error`, `times` times (-1: from
  // then on). A failing FindNextFetch does not advance.
  void Fail(Op op, uint32_t error, int skip = 0, int times = 1);
  // Likewise, but the call raises InjectedException instead of failing.
  void Throw(Op op, int skip = 0, int times = 1);

  // Calls, each like "FindNextUrlCacheEntryA(0x1000,null,0)" (a buffer shows as "buffer"),
  // "GetLastError()=122", "DeleteUrlCacheEntry(http://a/)".
  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> CallsOf(const std::string& name) const;
  // Also appends every call to this list (shared with other fakes to see the order of steps).
  void SetJournal(std::vector<std::string>* journal) { journal_ = journal; }

  // platform::UrlCache
  platform::Handle FindFirstUrlCacheEntryA(const char* searchPattern,
                                           platform::UrlCacheEntryInfo* entryInfo,
                                           uint32_t* entryInfoSize) override;
  bool FindNextUrlCacheEntryA(platform::Handle enumHandle, platform::UrlCacheEntryInfo* entryInfo,
                              uint32_t* entryInfoSize) override;
  bool FindCloseUrlCache(platform::Handle enumHandle) override;
  bool DeleteUrlCacheEntry(const std::string& urlName) override;
  uint32_t GetLastError() override;

 private:
  struct Entry {
    std::string url;
    uint32_t type = 0;
    std::string localFile;
  };
  struct Enumeration {
    std::vector<Entry> entries;  // as the cache was when the enumeration began
    size_t next = 0;
  };

  bool Injected(Op op);
  // Skips entries deleted since the enumeration began; the entry at `next`, or null at the end.
  const Entry* Current(Enumeration& enumeration) const;
  // Writes the record when the buffer is large enough; otherwise reports the size needed.
  bool Deliver(const Entry& entry, platform::UrlCacheEntryInfo* buffer, uint32_t* size);
  void Record(const std::string& call);

  std::vector<Entry> entries_;
  std::map<platform::Handle, Enumeration> enumerations_;
  FaultInjector<Op> faults_;
  std::vector<std::string> calls_;
  std::vector<std::string>* journal_ = nullptr;
  uint32_t lastError_ = 0;
  int recordsHandedOut_ = 0;
  platform::Handle nextHandle_ = 0x1000;
};

}  // namespace dormivo::fakes
