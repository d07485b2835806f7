// The cleaning steps close every handle they opened exactly once, also when an exception from
// the system passes through them.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cleaning/UrlHistory.h"
#include "cleaning/uFunction.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_com.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_url_cache.h"
#include "tests/fakes/fault_injector.h"
#include "tests/unit/cleaning/cleaning_fakes.h"

namespace dormivo {
namespace {

using fakes::InjectedException;

TEST(CleaningHandles, ARegistryKeyIsClosedOnceWhenAnExceptionPasses) {
  using Op = fakes::FakeRegistry::Op;
  struct Row {
    const char* name;
    Op throwing;
    int skip;
    std::function<void(platform::Registry&)> step;
  };
  const Row rows[] = {
      {"typed addresses, counting", Op::QueryInfoKey, 0, ClearTypedUrls},
      {"typed addresses, second name", Op::EnumValue, 1, ClearTypedUrls},
      {"typed addresses, first deletion", Op::DeleteValue, 0, ClearTypedUrls},
      {"shell folder, size", Op::QueryValue, 0,
       [](platform::Registry& r) { GetShellFolder(r, kShellFolderRecent); }},
      {"shell folder, data", Op::QueryValue, 1,
       [](platform::Registry& r) { GetShellFolder(r, kShellFolderRecent); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fakes::FakeRegistry registry;
    registry.SetString(testing::kTypedUrlsPath, "url1", "http://one.test/");
    registry.SetString(testing::kTypedUrlsPath, "url2", "http://two.test/");
    registry.SetString(testing::kShellFoldersPath, "Recent", "C:\\Profile\\Recent");
    registry.Throw(row.throwing, row.skip);
    EXPECT_THROW(row.step(registry), InjectedException);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
    EXPECT_EQ(registry.CallsOf("RegCloseKey").size(), 1u);
  }
}

TEST(CleaningHandles, AUrlCacheEnumerationIsClosedOnceWhenAnExceptionPasses) {
  using Op = fakes::FakeUrlCache::Op;
  struct Row {
    const char* name;
    Op throwing;
    int skip;
  };
  const Row rows[] = {
      {"deleting the first entry", Op::Delete, 0},
      {"deleting a later entry", Op::Delete, 1},
      {"asking for the next size", Op::FindNextSizeQuery, 0},
      {"fetching the next entry", Op::FindNextFetch, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fakes::FakeUrlCache cache;
    for (const char* url : {"http://one.test/", "http://two.test/", "http://three.test/"})
      cache.AddEntry(url, win::kNormalCacheEntry);
    cache.Throw(row.throwing, row.skip);
    EXPECT_THROW(ClearUrlCache(cache), InjectedException);
    EXPECT_EQ(cache.OpenEnumerationCount(), 0u);
    EXPECT_EQ(cache.CallsOf("FindCloseUrlCache").size(), 1u);
  }
}

TEST(CleaningHandles, EveryFolderSearchIsClosedOnceWhenAnExceptionPasses) {
  using Op = fakes::FakeFileSystem::Op;
  struct Row {
    const char* name;
    Op throwing;
    int skip;
    size_t searches;  // opened, one per folder entered before the exception
  };
  const Row rows[] = {
      {"deleting a file of the folder", Op::DeleteFile, 0, 1},
      {"deleting a file of a subfolder", Op::DeleteFile, 1, 2},
      {"removing the emptied subfolder", Op::RemoveDirectory, 0, 2},
      {"searching on in the subfolder", Op::FindNextFile, 3, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fakes::FakeFileSystem fs;
    fs.AddFile("C:\\R\\a.txt");
    fs.AddFile("C:\\R\\sub\\b.txt");
    fs.AddFile("C:\\R\\z.txt");
    fs.Throw(row.throwing, row.skip);
    EXPECT_THROW(EmptyFolder(fs, "C:\\R"), InjectedException);
    EXPECT_EQ(fs.OpenHandleCount(), 0u);
    EXPECT_EQ(fs.CallsOf("FindFirstFileA").size(), row.searches);
    EXPECT_EQ(fs.CallsOf("FindClose").size(), row.searches);
  }
}

TEST(CleaningHandles, BothComReferencesAreReleasedOnceWhenAnExceptionPasses) {
  fakes::FakeCom com;
  com.RegisterClass(kClsidCUrlHistory, {kIidIUrlHistoryStg2});
  com.SetClearHistoryThrows(true);
  EXPECT_THROW(ClearUrlHistory(com), InjectedException);
  EXPECT_EQ(com.ClearHistoryCount(), 1);
  EXPECT_EQ(com.LiveReferences(), 0);
  EXPECT_EQ(com.Misuses(), 0);
  EXPECT_EQ(fakes::CallsNamed(com.Calls(), "Release").size(), 2u);
}

}  // namespace
}  // namespace dormivo
