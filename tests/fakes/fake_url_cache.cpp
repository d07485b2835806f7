#include "tests/fakes/fake_url_cache.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/win_constants.h"

namespace dormivo::fakes {
namespace {

std::string HandleText(platform::Handle handle) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(handle));
  return text;
}

}  // namespace

void FakeUrlCache::AddEntry(const std::string& url, uint32_t type, const std::string& localFile) {
  entries_.push_back(Entry{url, type, localFile});
}

bool FakeUrlCache::Contains(const std::string& url) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& entry) { return entry.url == url; });
}

std::vector<std::string> FakeUrlCache::Urls() const {
  std::vector<std::string> urls;
  for (const Entry& entry : entries_) urls.push_back(entry.url);
  return urls;
}

uint32_t FakeUrlCache::RecordSize(const std::string& url, const std::string& localFile) {
  size_t size = sizeof(platform::UrlCacheEntryInfo) + url.size() + 1;
  if (!localFile.empty())
    size += localFile.size() + 1;
  return static_cast<uint32_t>(size);
}

void FakeUrlCache::Fail(Op op, uint32_t error, int skip, int times) {
  faults_.Add({op, error, skip, times});
}

void FakeUrlCache::Throw(Op op, int skip, int times) {
  faults_.Add({op, 0, skip, times, true});
}

std::vector<std::string> FakeUrlCache::CallsOf(const std::string& name) const {
  return CallsNamed(calls_, name);
}

bool FakeUrlCache::Injected(Op op) {
  const auto* fault = faults_.Meet(op);
  if (fault == nullptr)
    return false;
  if (fault->throws)
    throw InjectedException("injected exception");
  lastError_ = fault->error;
  return true;
}

void FakeUrlCache::Record(const std::string& call) {
  calls_.push_back(call);
  if (journal_ != nullptr)
    journal_->push_back(call);
}

const FakeUrlCache::Entry* FakeUrlCache::Current(Enumeration& enumeration) const {
  while (enumeration.next < enumeration.entries.size() &&
         !Contains(enumeration.entries[enumeration.next].url)) {
    ++enumeration.next;
  }
  return enumeration.next < enumeration.entries.size() ? &enumeration.entries[enumeration.next]
                                                       : nullptr;
}

bool FakeUrlCache::Deliver(const Entry& entry, platform::UrlCacheEntryInfo* buffer,
                           uint32_t* size) {
  const uint32_t needed = RecordSize(entry.url, entry.localFile);
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    lastError_ = win::kErrorInsufficientBuffer;
    return false;
  }
  // The head first, then the texts it points to, all inside the caller's buffer.
  char* const bytes = reinterpret_cast<char*>(buffer);
  platform::UrlCacheEntryInfo head{};
  head.dwStructSize = sizeof head;
  head.CacheEntryType = entry.type;
  size_t offset = sizeof head;
  head.lpszSourceUrlName = bytes + offset;
  std::memcpy(bytes + offset, entry.url.c_str(), entry.url.size() + 1);
  offset += entry.url.size() + 1;
  if (!entry.localFile.empty()) {
    head.lpszLocalFileName = bytes + offset;
    std::memcpy(bytes + offset, entry.localFile.c_str(), entry.localFile.size() + 1);
  }
  std::memcpy(bytes, &head, sizeof head);
  *size = needed;
  ++recordsHandedOut_;
  return true;
}

platform::Handle FakeUrlCache::FindFirstUrlCacheEntryA(const char* searchPattern,
                                                       platform::UrlCacheEntryInfo* entryInfo,
                                                       uint32_t* entryInfoSize) {
  Record(std::string("FindFirstUrlCacheEntryA(") +
         (searchPattern == nullptr ? "null" : searchPattern) + "," +
         (entryInfo == nullptr ? "null" : "buffer") + "," + std::to_string(*entryInfoSize) + ")");
  if (Injected(Op::FindFirst))
    return 0;
  Enumeration enumeration{entries_, 0};
  const Entry* first = Current(enumeration);
  if (first == nullptr) {
    lastError_ = win::kErrorNoMoreItems;
    return 0;
  }
  if (!Deliver(*first, entryInfo, entryInfoSize))
    return 0;
  ++enumeration.next;
  const platform::Handle handle = nextHandle_++;
  enumerations_[handle] = std::move(enumeration);
  lastError_ = win::kErrorSuccess;
  return handle;
}

bool FakeUrlCache::FindNextUrlCacheEntryA(platform::Handle enumHandle,
                                          platform::UrlCacheEntryInfo* entryInfo,
                                          uint32_t* entryInfoSize) {
  Record("FindNextUrlCacheEntryA(" + HandleText(enumHandle) + "," +
         (entryInfo == nullptr ? "null" : "buffer") + "," + std::to_string(*entryInfoSize) + ")");
  auto it = enumerations_.find(enumHandle);
  if (it == enumerations_.end()) {
    lastError_ = win::kErrorInvalidHandle;
    return false;
  }
  if (Injected(entryInfo == nullptr ? Op::FindNextSizeQuery : Op::FindNextFetch))
    return false;
  const Entry* entry = Current(it->second);
  if (entry == nullptr) {
    lastError_ = win::kErrorNoMoreItems;
    return false;
  }
  if (!Deliver(*entry, entryInfo, entryInfoSize))
    return false;
  ++it->second.next;
  lastError_ = win::kErrorSuccess;
  return true;
}

bool FakeUrlCache::FindCloseUrlCache(platform::Handle enumHandle) {
  Record("FindCloseUrlCache(" + HandleText(enumHandle) + ")");
  if (enumerations_.erase(enumHandle) == 0) {
    lastError_ = win::kErrorInvalidHandle;
    return false;
  }
  return true;
}

bool FakeUrlCache::DeleteUrlCacheEntry(const std::string& urlName) {
  Record("DeleteUrlCacheEntry(" + urlName + ")");
  if (Injected(Op::Delete))
    return false;
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& entry) { return entry.url == urlName; });
  if (it == entries_.end()) {
    lastError_ = win::kErrorFileNotFound;
    return false;
  }
  entries_.erase(it);
  return true;
}

uint32_t FakeUrlCache::GetLastError() {
  Record("GetLastError()=" + std::to_string(lastError_));
  return lastError_;
}

}  // namespace dormivo::fakes
