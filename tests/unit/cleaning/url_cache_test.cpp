// The URL cache walks of ClearUrlCache and ClearCookies.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cleaning/uFunction.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_url_cache.h"

namespace dormivo {
namespace {

using fakes::FakeUrlCache;
using Walk = std::function<void(platform::UrlCache&)>;

constexpr uint32_t kCookie = win::kCookieCacheEntry;
constexpr uint32_t kNormal = win::kNormalCacheEntry;

std::string Url(const char* stem, int index) {
  return std::string(stem) + std::to_string(index) + "/";
}

TEST(UrlCacheWalk, EachOperationDeletesOnlyItsOwnKind) {
  struct Row {
    const char* name;
    Walk walk;
    std::vector<std::string> kept;
  };
  const std::vector<std::string> cookies = {"Cookie:a@one.test/", "Cookie:b@two.test/"};
  const std::vector<std::string> others = {"http://one.test/", "Visited: a@http://two.test/",
                                           "http://three.test/sticky"};
  const Row rows[] = {
      {"ClearUrlCache keeps the cookies", ClearUrlCache, cookies},
      {"ClearCookies keeps the rest", ClearCookies, others},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeUrlCache cache;
    cache.AddEntry(others[0], kNormal, "C:\\cache\\one.htm");
    cache.AddEntry(cookies[0], kCookie, "C:\\cookies\\a.txt");
    cache.AddEntry(others[1], win::kUrlHistoryCacheEntry);
    cache.AddEntry(cookies[1], kCookie | kNormal);  // the cookie flag decides
    cache.AddEntry(others[2], 0x4);
    row.walk(cache);
    EXPECT_EQ(cache.Urls(), row.kept);
    EXPECT_EQ(cache.OpenEnumerationCount(), 0u);
  }
}

TEST(UrlCacheWalk, ExaminesTheFirstEntryAndAtMostTheBoundMore) {
  struct Row {
    const char* name;
    Walk walk;
    uint32_t type;
    int entries;
    int examined;
  };
  const Row rows[] = {
      {"ClearUrlCache, 1500 entries", ClearUrlCache, kNormal, 1500, 1000},
      {"ClearUrlCache, exactly 1000", ClearUrlCache, kNormal, 1000, 1000},
      {"ClearUrlCache, 1001", ClearUrlCache, kNormal, 1001, 1000},
      {"ClearCookies, 300 cookies", ClearCookies, kCookie, 300, 201},
      {"ClearCookies, 202 cookies", ClearCookies, kCookie, 202, 201},
      {"ClearCookies, 150 cookies", ClearCookies, kCookie, 150, 150},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeUrlCache cache;
    for (int i = 0; i < row.entries; ++i) cache.AddEntry(Url("http://e.test/", i), row.type);
    row.walk(cache);
    EXPECT_EQ(cache.RecordsHandedOut(), row.examined);
    // The first ones in enumeration order went, the rest stayed.
    const std::vector<std::string> urls = cache.Urls();
    ASSERT_EQ(urls.size(), static_cast<size_t>(row.entries - row.examined));
    if (!urls.empty()) {
      EXPECT_EQ(urls.front(), Url("http://e.test/", row.examined));
    }
    EXPECT_EQ(cache.OpenEnumerationCount(), 0u);
  }
}

TEST(UrlCacheWalk, BoundCountsTheEntriesOfTheOtherKindToo) {
  struct Row {
    const char* name;
    Walk walk;
    uint32_t skippedType;
    int skipped;
    uint32_t wantedType;
    bool wantedGone;
  };
  const Row rows[] = {
      {"ClearUrlCache behind 1000 cookies", ClearUrlCache, kCookie, 1000, kNormal, false},
      {"ClearUrlCache behind 999 cookies", ClearUrlCache, kCookie, 999, kNormal, true},
      {"ClearCookies behind 201 others", ClearCookies, kNormal, 201, kCookie, false},
      {"ClearCookies behind 200 others", ClearCookies, kNormal, 200, kCookie, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeUrlCache cache;
    for (int i = 0; i < row.skipped; ++i) cache.AddEntry(Url("http://s.test/", i), row.skippedType);
    cache.AddEntry("http://wanted.test/", row.wantedType);
    row.walk(cache);
    EXPECT_EQ(!cache.Contains("http://wanted.test/"), row.wantedGone);
    EXPECT_EQ(cache.Urls().size(), static_cast<size_t>(row.skipped + (row.wantedGone ? 0 : 1)));
  }
}

TEST(UrlCacheWalk, AsksForEachSizeFirstAndFetchesWithABufferOfThatSize) {
  FakeUrlCache cache;
  cache.AddEntry("http://a.test/", kNormal, "C:\\cache\\a.htm");
  cache.AddEntry("http://bb.test/page", kNormal);
  ClearUrlCache(cache);
  const std::string first =
      std::to_string(FakeUrlCache::RecordSize("http://a.test/", "C:\\cache\\a.htm"));
  const std::string second = std::to_string(FakeUrlCache::RecordSize("http://bb.test/page"));
  const std::vector<std::string> expected = {
      "FindFirstUrlCacheEntryA(null,null,0)",
      "FindFirstUrlCacheEntryA(null,buffer," + first + ")",
      "DeleteUrlCacheEntry(http://a.test/)",
      "FindNextUrlCacheEntryA(0x1000,null,0)",
      "GetLastError()=122",
      "FindNextUrlCacheEntryA(0x1000,buffer," + second + ")",
      "DeleteUrlCacheEntry(http://bb.test/page)",
      "FindNextUrlCacheEntryA(0x1000,null,0)",
      "GetLastError()=259",
      "FindCloseUrlCache(0x1000)",
  };
  EXPECT_EQ(cache.Calls(), expected);
  EXPECT_TRUE(cache.Urls().empty());
}

TEST(UrlCacheWalk, TakesEachIterationsErrorFromTheSizeQuery) {
  struct Row {
    const char* name;
    FakeUrlCache::Op op;
    uint32_t error;
    int skip;
    int times;
    std::vector<std::string> kept;
  };
  const Row rows[] = {
      // The fetch fails with ERROR_NO_MORE_ITEMS, but the size query said 122: the walk goes on
      // and gets the same entry again.
      {"fetch fails with 259", FakeUrlCache::Op::FindNextFetch, win::kErrorNoMoreItems, 0, 1, {}},
      {"fetch fails with 8 twice",
       FakeUrlCache::Op::FindNextFetch,
       win::kErrorNotEnoughMemory,
       1,
       2,
       {}},
      // The size query says ERROR_NO_MORE_ITEMS in the second iteration: the walk ends there.
      {"size query ends early",
       FakeUrlCache::Op::FindNextSizeQuery,
       win::kErrorNoMoreItems,
       1,
       1,
       {Url("http://k.test/", 2), Url("http://k.test/", 3)}},
      // Any other error: that iteration fetches nothing, and the walk goes on.
      {"size query fails with 6",
       FakeUrlCache::Op::FindNextSizeQuery,
       win::kErrorInvalidHandle,
       0,
       3,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeUrlCache cache;
    for (int i = 0; i < 4; ++i) cache.AddEntry(Url("http://k.test/", i), kNormal);
    cache.Fail(row.op, row.error, row.skip, row.times);
    ClearUrlCache(cache);
    EXPECT_EQ(cache.Urls(), row.kept);
    EXPECT_EQ(cache.OpenEnumerationCount(), 0u);
    // No fetch follows a size query that did not ask for a buffer.
    const std::vector<std::string>& calls = cache.Calls();
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
      if (calls[i].rfind("GetLastError()=", 0) == 0 && calls[i] != "GetLastError()=122") {
        EXPECT_EQ(calls[i + 1].find("buffer"), std::string::npos) << calls[i + 1];
      }
    }
  }
}

TEST(UrlCacheWalk, WithoutAFirstEntryNothingIsWalkedAndNoNullHandlePassedOn) {
  struct Row {
    const char* name;
    int entries;
    bool failSecondFindFirst;
  };
  const Row rows[] = {
      {"empty cache", 0, false},
      {"first entry cannot be fetched", 3, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (const Walk& walk : {Walk(ClearUrlCache), Walk(ClearCookies)}) {
      FakeUrlCache cache;
      for (int i = 0; i < row.entries; ++i) cache.AddEntry(Url("http://x.test/", i), kNormal);
      for (int i = 0; i < row.entries; ++i) cache.AddEntry(Url("Cookie:x.test/", i), kCookie);
      if (row.failSecondFindFirst)
        cache.Fail(FakeUrlCache::Op::FindFirst, win::kErrorNotEnoughMemory, 1);
      walk(cache);
      EXPECT_EQ(cache.CallsOf("FindFirstUrlCacheEntryA").size(), 2u);
      EXPECT_TRUE(cache.CallsOf("FindNextUrlCacheEntryA").empty());
      EXPECT_TRUE(cache.CallsOf("DeleteUrlCacheEntry").empty());
      EXPECT_EQ(cache.Urls().size(), static_cast<size_t>(2 * row.entries));
      EXPECT_EQ(cache.OpenEnumerationCount(), 0u);
    }
  }
}

TEST(UrlCacheWalk, AFailedDeletionDoesNotStopTheWalk) {
  FakeUrlCache cache;
  for (int i = 0; i < 5; ++i) cache.AddEntry(Url("Cookie:d.test/", i), kCookie);
  cache.Fail(FakeUrlCache::Op::Delete, win::kErrorAccessDenied, 2, 1);
  ClearCookies(cache);
  EXPECT_EQ(cache.Urls(), std::vector<std::string>{Url("Cookie:d.test/", 2)});
  EXPECT_EQ(cache.CallsOf("DeleteUrlCacheEntry").size(), 5u);
  EXPECT_EQ(cache.OpenEnumerationCount(), 0u);
}

}  // namespace
}  // namespace dormivo
