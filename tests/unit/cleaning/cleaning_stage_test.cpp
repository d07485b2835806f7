// CleaningStage: the six switched steps, their order, and how failures end the stage.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "cleaning/UrlHistory.h"
#include "cleaning/uFunction.h"
#include "platform/exception.h"
#include "platform/forwarding_file_system.h"
#include "platform/win_constants.h"
#include "tests/unit/cleaning/cleaning_fakes.h"

namespace dormivo {
namespace {

using testing::CleaningFakes;
using testing::kShellFoldersPath;
using testing::kTypedUrlsPath;

constexpr platform::WindowHandle kOwner = 0x1234;

// A user with something of every kind to clear, and a folder of temporary files that no step
// may touch.
void FillUserTraces(CleaningFakes& f) {
  f.urlCache.AddEntry("http://page.test/", win::kNormalCacheEntry);
  f.urlCache.AddEntry("Cookie:me@page.test/", win::kCookieCacheEntry);
  f.registry.SetString(kTypedUrlsPath, "url1", "http://typed.test/");
  f.com.RegisterClass(kClsidCUrlHistory, {kIidIUrlHistoryStg2});
  f.registry.SetString(kShellFoldersPath, "Recent", "C:\\Profile\\Recent");
  f.registry.SetString(kShellFoldersPath, "Templates", "C:\\Profile\\Templates");
  f.registry.SetString(kShellFoldersPath, "Cache", "C:\\Profile\\Cache");
  f.files.AddFile("C:\\Profile\\Recent\\report.lnk");
  f.files.AddFile("C:\\Profile\\Templates\\letter.dot");
  f.files.AddFile("C:\\Profile\\Cache\\page.htm");
  f.files.AddFile("C:\\Profile\\Temp\\work.tmp");
}

ExecutorSettings AllOn() {
  ExecutorSettings settings;
  settings.Recycle = settings.Cache = settings.Cookies = settings.History = true;
  settings.DocList = settings.TempFolder = true;
  return settings;
}

struct Effects {
  bool recycled;
  bool cacheCleared;
  bool cookiesCleared;
  bool typedCleared;
  bool historyCleared;
  bool recentEmptied;
  bool templatesEmptied;
};

Effects Observe(const CleaningFakes& f) {
  return Effects{
      !f.shell.Calls().empty(),
      !f.urlCache.Contains("http://page.test/"),
      !f.urlCache.Contains("Cookie:me@page.test/"),
      f.registry.ValueNames(kTypedUrlsPath).empty(),
      f.com.ClearHistoryCount() == 1,
      !f.files.Exists("C:\\Profile\\Recent\\report.lnk"),
      !f.files.Exists("C:\\Profile\\Templates\\letter.dot"),
  };
}

void ExpectEffects(const Effects& seen, const Effects& expected) {
  EXPECT_EQ(seen.recycled, expected.recycled);
  EXPECT_EQ(seen.cacheCleared, expected.cacheCleared);
  EXPECT_EQ(seen.cookiesCleared, expected.cookiesCleared);
  EXPECT_EQ(seen.typedCleared, expected.typedCleared);
  EXPECT_EQ(seen.historyCleared, expected.historyCleared);
  EXPECT_EQ(seen.recentEmptied, expected.recentEmptied);
  EXPECT_EQ(seen.templatesEmptied, expected.templatesEmptied);
}

// What no step may ever touch, and what every step must give back.
void ExpectUntouchedAndClosed(const CleaningFakes& f) {
  EXPECT_TRUE(f.files.Exists("C:\\Profile\\Temp\\work.tmp"));
  EXPECT_TRUE(f.files.Exists("C:\\Profile\\Cache\\page.htm"));
  EXPECT_TRUE(f.files.Exists("C:\\Profile\\Recent"));
  EXPECT_TRUE(f.files.Exists("C:\\Profile\\Templates"));
  EXPECT_TRUE(f.registry.KeyExists(kTypedUrlsPath));
  EXPECT_EQ(f.files.OpenHandleCount(), 0u);
  EXPECT_EQ(f.urlCache.OpenEnumerationCount(), 0u);
  EXPECT_EQ(f.registry.OpenKeyCount(), 0u);
  EXPECT_EQ(f.com.LiveReferences(), 0);
}

TEST(CleaningStage, RunsEverySwitchedOnStepInItsFixedOrder) {
  CleaningFakes f;
  FillUserTraces(f);
  CleaningStage(f.platform, kOwner, AllOn());

  ExpectEffects(Observe(f), {true, true, true, true, true, true, true});
  ExpectUntouchedAndClosed(f);
  EXPECT_EQ(f.shell.Calls(), std::vector<std::string>{"SHEmptyRecycleBinA(0x1234,,1)"});
  const int steps[] = {
      f.FirstCall("SHEmptyRecycleBinA("),
      f.FirstCall("DeleteUrlCacheEntry(http://page.test/)"),
      f.FirstCall("DeleteUrlCacheEntry(Cookie:me@page.test/)"),
      f.FirstCall("RegDeleteValueA(8192,url1)"),
      f.FirstCall("CoCreateInstance("),
      f.FirstCall("ClearHistory("),
      f.FirstCall("RegQueryValueExA(8193,Recent,"),
      f.FirstCall("RegQueryValueExA(8194,Templates,"),
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    EXPECT_GE(steps[i], 0);
    if (i > 0) {
      EXPECT_LT(steps[i - 1], steps[i]);
    }
  }
}

TEST(CleaningStage, EachSwitchRunsOnlyItsOwnStep) {
  struct Row {
    const char* name;
    bool ExecutorSettings::*field;
    Effects expected;
  };
  const Row rows[] = {
      {"nothing", nullptr, {false, false, false, false, false, false, false}},
      {"Recycle", &ExecutorSettings::Recycle, {true, false, false, false, false, false, false}},
      {"Cache", &ExecutorSettings::Cache, {false, true, false, false, false, false, false}},
      {"Cookies", &ExecutorSettings::Cookies, {false, false, true, false, false, false, false}},
      {"History", &ExecutorSettings::History, {false, false, false, true, true, false, false}},
      {"DocList", &ExecutorSettings::DocList, {false, false, false, false, false, true, false}},
      {"TempFolder",
       &ExecutorSettings::TempFolder,
       {false, false, false, false, false, false, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CleaningFakes f;
    FillUserTraces(f);
    ExecutorSettings settings;
    settings.Notify = settings.PlaySound = settings.Force = true;  // no switch of the stage
    if (row.field != nullptr)
      settings.*row.field = true;
    CleaningStage(f.platform, kOwner, settings);
    ExpectEffects(Observe(f), row.expected);
    ExpectUntouchedAndClosed(f);
    if (row.field == nullptr) {
      EXPECT_TRUE(f.journal.empty());
      EXPECT_TRUE(f.files.Calls().empty());
    }
  }
}

TEST(CleaningStage, IgnoresTheResultOfEmptyingTheRecycleBins) {
  CleaningFakes f;
  FillUserTraces(f);
  f.shell.SetResult(win::kEFail);
  ExecutorSettings settings;
  settings.Recycle = settings.Cache = true;
  CleaningStage(f.platform, kOwner, settings);
  ExpectEffects(Observe(f), {true, true, false, false, false, false, false});
}

TEST(CleaningStage, UrlHistoryFailureEndsTheStageAfterTheTypedAddresses) {
  struct Row {
    const char* name;
    std::vector<platform::Guid> interfaces;
    bool registered;
  };
  const Row rows[] = {
      {"class not registered", {}, false},
      {"no IUrlHistoryStg2", {}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CleaningFakes f;
    FillUserTraces(f);
    f.com = fakes::FakeCom();
    f.com.SetJournal(&f.journal);
    if (row.registered)
      f.com.RegisterClass(kClsidCUrlHistory, row.interfaces);
    EXPECT_THROW(CleaningStage(f.platform, kOwner, AllOn()), Exception);
    ExpectEffects(Observe(f), {true, true, true, true, false, false, false});
    EXPECT_EQ(f.FirstCall("RegOpenKeyExA(HKCU,Software\\Microsoft\\Windows"), -1);
    EXPECT_TRUE(f.files.Calls().empty());
    ExpectUntouchedAndClosed(f);
  }
}

TEST(CleaningStage, ARecentValueThatIsNoStringEndsTheStageBeforeTemplates) {
  CleaningFakes f;
  FillUserTraces(f);
  f.registry.SetDword(kShellFoldersPath, "Recent", 1);
  EXPECT_THROW(CleaningStage(f.platform, kOwner, AllOn()), Exception);
  ExpectEffects(Observe(f), {true, true, true, true, true, false, false});
  EXPECT_TRUE(f.files.Calls().empty());
  ExpectUntouchedAndClosed(f);
}

TEST(CleaningStage, AnEmptyOrMissingFolderValueLeavesThatStepAlone) {
  struct Row {
    const char* name;
    void (*change)(CleaningFakes&);
  };
  const Row rows[] = {
      {"Recent value missing",
       [](CleaningFakes& f) {
         f.registry = fakes::FakeRegistry();
         f.registry.SetString(kShellFoldersPath, "Templates", "C:\\Profile\\Templates");
       }},
      {"Recent value empty",
       [](CleaningFakes& f) { f.registry.SetString(kShellFoldersPath, "Recent", ""); }},
      {"Recent value of size 0",
       [](CleaningFakes& f) { f.registry.SetValue(kShellFoldersPath, "Recent", win::kRegSz, ""); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CleaningFakes f;
    FillUserTraces(f);
    f.files.AddFile("C:\\root.txt");
    f.files.AddFile("C:\\Current\\here.txt");
    f.files.SetCurrentDirectory("C:\\Current");
    row.change(f);
    ExecutorSettings settings;
    settings.DocList = settings.TempFolder = true;
    CleaningStage(f.platform, kOwner, settings);
    EXPECT_TRUE(f.files.Exists("C:\\root.txt"));
    EXPECT_TRUE(f.files.Exists("C:\\Current\\here.txt"));
    EXPECT_TRUE(f.files.Exists("C:\\Profile\\Recent\\report.lnk"));
    EXPECT_FALSE(f.files.Exists("C:\\Profile\\Templates\\letter.dot"));
    // Every call that names a path names one inside the Templates folder.
    for (const std::string& call : f.files.Calls()) {
      if (call != "FindNextFileA()" && call != "FindClose()") {
        EXPECT_NE(call.find("(C:\\Profile\\Templates\\"), std::string::npos) << call;
      }
    }
    EXPECT_EQ(f.files.CallsOf("FindFirstFileA").front(),
              "FindFirstFileA(C:\\Profile\\Templates\\*.*)");
  }
}

// A file system that raises while a given file is deleted, to stand for anything that goes
// wrong during a folder walk.
class RaisingFileSystem final : public platform::ForwardingFileSystem {
 public:
  RaisingFileSystem(fakes::FakeFileSystem& inner, std::string raiseOn, bool outOfMemory)
      : ForwardingFileSystem(inner),
        inner_(inner),
        raiseOn_(std::move(raiseOn)),
        outOfMemory_(outOfMemory) {}

  bool DeleteFileA(const std::string& path) override {
    if (path == raiseOn_) {
      if (outOfMemory_)
        throw std::bad_alloc();
      throw Exception("walk failed");
    }
    return inner_.DeleteFileA(path);
  }

 private:
  fakes::FakeFileSystem& inner_;
  std::string raiseOn_;
  bool outOfMemory_;
};

TEST(CleaningStage, AFailureWhileEmptyingAFolderIsDroppedAndTheStageGoesOn) {
  for (const bool outOfMemory : {false, true}) {
    SCOPED_TRACE(outOfMemory ? "out of memory" : "error");
    CleaningFakes f;
    FillUserTraces(f);
    f.files.AddFile("C:\\Profile\\Recent\\sub\\a.lnk");
    f.files.AddFile("C:\\Profile\\Recent\\sub\\b.lnk");
    f.files.AddFile("C:\\Profile\\Recent\\z.lnk");
    RaisingFileSystem files(f.files, "C:\\Profile\\Recent\\sub\\a.lnk", outOfMemory);
    CleaningPlatform platform{f.shell, f.urlCache, f.registry, f.com, files};
    ExecutorSettings settings;
    settings.DocList = settings.TempFolder = true;
    EXPECT_NO_THROW(CleaningStage(platform, kOwner, settings));
    // The walk of Recent ended where it failed; Templates was still emptied.
    EXPECT_FALSE(f.files.Exists("C:\\Profile\\Recent\\report.lnk"));
    EXPECT_TRUE(f.files.Exists("C:\\Profile\\Recent\\sub\\b.lnk"));
    EXPECT_TRUE(f.files.Exists("C:\\Profile\\Recent\\z.lnk"));
    EXPECT_FALSE(f.files.Exists("C:\\Profile\\Templates\\letter.dot"));
    EXPECT_EQ(f.files.OpenHandleCount(), 0u);
    EXPECT_EQ(f.registry.OpenKeyCount(), 0u);
  }
}

}  // namespace
}  // namespace dormivo
