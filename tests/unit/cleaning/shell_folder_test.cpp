// GetShellFolder: the paths registered under the current user's Shell Folders key.
#include <gtest/gtest.h>

#include <string>

#include "cleaning/uFunction.h"
#include "platform/exception.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_registry.h"
#include "tests/unit/cleaning/cleaning_fakes.h"

namespace dormivo {
namespace {

using fakes::FakeRegistry;
using testing::kShellFoldersPath;

TEST(GetShellFolder, ReadsTheValueNamedForEachKind) {
  FakeRegistry registry;
  registry.SetString(kShellFoldersPath, "Cache", "C:\\Profile\\Cache");
  registry.SetString(kShellFoldersPath, "Cookies", "C:\\Profile\\Cookies");
  registry.SetString(kShellFoldersPath, "History", "C:\\Profile\\History");
  registry.SetString(kShellFoldersPath, "Recent", "C:\\Profile\\Recent");
  registry.SetString(kShellFoldersPath, "Templates", "C:\\Profile\\Templates");
  struct Row {
    int kind;
    const char* expected;
  };
  const Row rows[] = {
      {1, "C:\\Profile\\Cache"},  {2, "C:\\Profile\\Cookies"},   {3, "C:\\Profile\\History"},
      {4, "C:\\Profile\\Recent"}, {5, "C:\\Profile\\Templates"}, {0, "C:\\Profile\\Recent"},
      {6, "C:\\Profile\\Recent"}, {-1, "C:\\Profile\\Recent"},   {1000, "C:\\Profile\\Recent"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kind);
    EXPECT_EQ(GetShellFolder(registry, row.kind), row.expected);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
  }
  EXPECT_EQ(registry.CallsOf("RegOpenKeyExA").front(),
            "RegOpenKeyExA(HKCU,Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
            "Folders,0,0xF003F)");
}

TEST(GetShellFolder, GivesEmptyWhenTheKeyOrValueIsMissingOrEmpty) {
  struct Row {
    const char* name;
    void (*setUp)(FakeRegistry&);
    size_t valueQueries;
  };
  const Row rows[] = {
      {"no Shell Folders key", [](FakeRegistry& r) { r.AddKey("Software\\Microsoft"); }, 0},
      {"no Recent value",
       [](FakeRegistry& r) { r.SetString(kShellFoldersPath, "Templates", "C:\\T"); }, 1},
      {"value of size 0",
       [](FakeRegistry& r) { r.SetValue(kShellFoldersPath, "Recent", win::kRegSz, ""); }, 1},
      {"REG_DWORD of size 0",
       [](FakeRegistry& r) { r.SetValue(kShellFoldersPath, "Recent", win::kRegDword, ""); }, 1},
      {"empty text", [](FakeRegistry& r) { r.SetString(kShellFoldersPath, "Recent", ""); }, 2},
      {"size cannot be queried",
       [](FakeRegistry& r) {
         r.SetString(kShellFoldersPath, "Recent", "C:\\R");
         r.Fail(FakeRegistry::Op::QueryValue, win::kErrorAccessDenied);
       },
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeRegistry registry;
    row.setUp(registry);
    EXPECT_EQ(GetShellFolder(registry, kShellFolderRecent), "");
    EXPECT_EQ(registry.CallsOf("RegQueryValueExA").size(), row.valueQueries);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
    EXPECT_EQ(registry.KeyExists(kShellFoldersPath), row.valueQueries != 0);
  }
}

TEST(GetShellFolder, ReadsWithABufferOfTheQueriedSize) {
  FakeRegistry registry;
  registry.SetString(kShellFoldersPath, "Templates", "C:\\Users\\Me\\Templates");
  EXPECT_EQ(GetShellFolder(registry, kShellFolderTemplates), "C:\\Users\\Me\\Templates");
  const std::vector<std::string> queries = registry.CallsOf("RegQueryValueExA");
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0], "RegQueryValueExA(8192,Templates,null,0)");
  EXPECT_EQ(queries[1], "RegQueryValueExA(8192,Templates,buffer,22)");
}

TEST(GetShellFolder, RaisesForAValueThatIsNoStringOrCannotBeRead) {
  struct Row {
    const char* name;
    void (*setUp)(FakeRegistry&);
  };
  const Row rows[] = {
      {"REG_DWORD", [](FakeRegistry& r) { r.SetDword(kShellFoldersPath, "Recent", 5); }},
      {"REG_BINARY",
       [](FakeRegistry& r) { r.SetValue(kShellFoldersPath, "Recent", win::kRegBinary, "C:\\"); }},
      {"REG_MULTI_SZ",
       [](FakeRegistry& r) {
         r.SetValue(kShellFoldersPath, "Recent", win::kRegMultiSz, std::string("C:\\\0\0", 5));
       }},
      {"read fails",
       [](FakeRegistry& r) {
         r.SetString(kShellFoldersPath, "Recent", "C:\\R");
         r.Fail(FakeRegistry::Op::QueryValue, win::kErrorAccessDenied, 1);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeRegistry registry;
    row.setUp(registry);
    EXPECT_THROW(GetShellFolder(registry, kShellFolderRecent), Exception);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
  }
}

TEST(GetShellFolder, GivesTheTextAsStoredUpToItsFirstNul) {
  struct Row {
    const char* name;
    uint32_t type;
    std::string data;
    const char* expected;
  };
  const Row rows[] = {
      {"REG_EXPAND_SZ is not expanded", win::kRegExpandSz,
       std::string("%USERPROFILE%\\Recent\0", 21), "%USERPROFILE%\\Recent"},
      {"text after a NUL is dropped", win::kRegSz, std::string("C:\\A\0C:\\B\0", 10), "C:\\A"},
      {"text without a NUL", win::kRegSz, "C:\\NoEnd", "C:\\NoEnd"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeRegistry registry;
    registry.SetValue(kShellFoldersPath, "Recent", row.type, row.data);
    EXPECT_EQ(GetShellFolder(registry, kShellFolderRecent), row.expected);
  }
}

}  // namespace
}  // namespace dormivo
