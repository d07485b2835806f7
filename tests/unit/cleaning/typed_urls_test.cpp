// ClearTypedUrls: the values of the typed-address key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/uFunction.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_registry.h"
#include "tests/unit/cleaning/cleaning_fakes.h"

namespace dormivo {
namespace {

using fakes::FakeRegistry;
using testing::kTypedUrlsPath;

TEST(ClearTypedUrls, CollectsEveryNameFirstThenDeletesThemAndKeepsTheKey) {
  FakeRegistry registry;
  const std::string longName = "url" + std::string(300, 'x');
  const std::vector<std::string> names = {"url1", "url2", longName, "url4", ""};
  for (const std::string& name : names) registry.SetString(kTypedUrlsPath, name, "http://t/");
  registry.AddKey(std::string(kTypedUrlsPath) + "\\Child");
  registry.SetString("Software\\Microsoft\\Internet Explorer", "Start Page", "about:blank");

  ClearTypedUrls(registry);

  EXPECT_TRUE(registry.KeyExists(kTypedUrlsPath));
  EXPECT_TRUE(registry.ValueNames(kTypedUrlsPath).empty());
  EXPECT_TRUE(registry.KeyExists(std::string(kTypedUrlsPath) + "\\Child"));
  EXPECT_TRUE(registry.GetValue("Software\\Microsoft\\Internet Explorer", "Start Page"));
  EXPECT_EQ(registry.OpenKeyCount(), 0u);

  // Opened from the root without the leading backslash, with all access; every name read
  // before the first deletion, then deleted in the order read.
  const std::vector<std::string>& calls = registry.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(),
            "RegOpenKeyExA(HKCU,Software\\Microsoft\\Internet Explorer\\TypedURLs,0,0xF003F)");
  EXPECT_EQ(calls.back(), "RegCloseKey(8192)");
  std::vector<std::string> enumerated, deleted;
  size_t lastEnum = 0, firstDelete = calls.size();
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].rfind("RegEnumValueA(", 0) == 0) {
      enumerated.push_back(calls[i]);
      lastEnum = i;
    }
    if (calls[i].rfind("RegDeleteValueA(", 0) == 0) {
      deleted.push_back(calls[i].substr(std::string("RegDeleteValueA(8192,").size()));
      firstDelete = std::min(firstDelete, i);
    }
  }
  ASSERT_EQ(enumerated.size(), names.size());
  for (size_t i = 0; i < enumerated.size(); ++i) {
    EXPECT_EQ(enumerated[i].rfind("RegEnumValueA(8192," + std::to_string(i) + ",", 0), 0u);
  }
  EXPECT_LT(lastEnum, firstDelete);
  ASSERT_EQ(deleted.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(deleted[i], names[i] + ")");
}

TEST(ClearTypedUrls, MissingKeyIsLeftAloneAndNotCreated) {
  FakeRegistry registry;
  registry.AddKey("Software\\Microsoft\\Internet Explorer");
  ClearTypedUrls(registry);
  EXPECT_FALSE(registry.KeyExists(kTypedUrlsPath));
  EXPECT_EQ(registry.Calls().size(), 1u);
  EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST(ClearTypedUrls, AValueThatFailsStaysAndTheOthersGo) {
  struct Row {
    const char* name;
    FakeRegistry::Op op;
    std::vector<std::string> kept;
  };
  const Row rows[] = {
      {"deletion of the second fails", FakeRegistry::Op::DeleteValue, {"url2"}},
      {"name at index 1 cannot be read", FakeRegistry::Op::EnumValue, {"url2"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeRegistry registry;
    for (const char* name : {"url1", "url2", "url3"})
      registry.SetString(kTypedUrlsPath, name, "http://t/");
    registry.Fail(row.op, win::kErrorAccessDenied, 1, 1);
    ClearTypedUrls(registry);
    EXPECT_EQ(registry.ValueNames(kTypedUrlsPath), row.kept);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
  }
}

TEST(ClearTypedUrls, KeyWhoseInformationCannotBeReadIsClosedUntouched) {
  FakeRegistry registry;
  registry.SetString(kTypedUrlsPath, "url1", "http://t/");
  registry.Fail(FakeRegistry::Op::QueryInfoKey, win::kErrorAccessDenied);
  ClearTypedUrls(registry);
  EXPECT_EQ(registry.ValueNames(kTypedUrlsPath), std::vector<std::string>{"url1"});
  EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

}  // namespace
}  // namespace dormivo
