// The whole executor with the real execution stages (cleaning stage, TJvLogFile, actions) over
// the fakes of every platform service: what happens at the end of the countdown, in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/platform_steps.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_clock_locale.h"
#include "tests/fakes/fake_com.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_power.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/fake_url_cache.h"

namespace dormivo {
namespace {

constexpr char kLog[] = "C:\\Dormivo\\Log.dat";

// Notes the log step (it reads the clock) in the shared journal.
class JournalingClock final : public platform::ClockLocale {
 public:
  JournalingClock(platform::ClockLocale& inner, std::vector<std::string>& journal)
      : inner_(inner), journal_(journal) {}
  void GetLocalTime(platform::SystemTime* time) override {
    journal_.push_back("log: GetLocalTime");
    inner_.GetLocalTime(time);
  }
  platform::LocaleId GetThreadLocale() override { return inner_.GetThreadLocale(); }
  std::optional<std::string> GetLocaleInfoA(platform::LocaleId locale, uint32_t lcType) override {
    return inner_.GetLocaleInfoA(locale, lcType);
  }
  bool FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* local) override {
    return inner_.FileTimeToLocalFileTime(fileTime, local);
  }

 private:
  platform::ClockLocale& inner_;
  std::vector<std::string>& journal_;
};

// Notes the action's calls in the shared journal, and what Log.dat held at the first of them.
class JournalingPower final : public platform::PowerApi {
 public:
  JournalingPower(fakes::FakePower& inner, fakes::FakeFileSystem& files,
                  std::vector<std::string>& journal)
      : inner_(inner), files_(files), journal_(journal) {}
  std::optional<std::string> logAtAction;

  platform::Handle GetCurrentProcess() override { return inner_.GetCurrentProcess(); }
  bool OpenProcessToken(platform::Handle process, uint32_t access,
                        platform::Handle* token) override {
    Note("OpenProcessToken");
    return inner_.OpenProcessToken(process, access, token);
  }
  bool LookupPrivilegeValueA(const char* system, const std::string& name,
                             platform::Luid* luid) override {
    return inner_.LookupPrivilegeValueA(system, name, luid);
  }
  bool AdjustTokenPrivileges(platform::Handle token, bool disableAll,
                             const platform::TokenPrivileges* state, uint32_t length,
                             platform::TokenPrivileges* previous, uint32_t* returned) override {
    return inner_.AdjustTokenPrivileges(token, disableAll, state, length, previous, returned);
  }
  bool CloseHandle(platform::Handle handle) override { return inner_.CloseHandle(handle); }
  bool ExitWindowsEx(uint32_t flags, uint32_t reason) override {
    Note("ExitWindowsEx");
    return inner_.ExitWindowsEx(flags, reason);
  }
  bool SetSystemPowerState(bool suspend, bool force) override {
    Note("SetSystemPowerState");
    return inner_.SetSystemPowerState(suspend, force);
  }
  intptr_t SendMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override {
    Note("SendMessageA");
    return inner_.SendMessageA(window, message, wParam, lParam);
  }
  bool LockWorkStation() override {
    Note("LockWorkStation");
    return inner_.LockWorkStation();
  }
  bool GetVersionExA(platform::OsVersionInfo* info) override { return inner_.GetVersionExA(info); }

 private:
  void Note(const std::string& call) {
    journal_.push_back("action: " + call);
    if (!logAtAction)
      logAtAction = files_.Content(kLog).value_or("<none>");
  }
  fakes::FakePower& inner_;
  fakes::FakeFileSystem& files_;
  std::vector<std::string>& journal_;
};

struct WholeRun {
  std::vector<std::string> journal;
  fakes::FakeUi ui;
  fakes::FakeProcess process;
  fakes::FakePower fakePower;
  fakes::FakeFileSystem files;
  platform::AsciiText codePage;
  fakes::FakeClockLocale fakeClock;
  fakes::FakeShell shell;
  fakes::FakeUrlCache urlCache;
  fakes::FakeRegistry registry;
  fakes::FakeCom com;
  JournalingClock clock{fakeClock, journal};
  JournalingPower power{fakePower, files, journal};
  CleaningPlatform cleaning{shell, urlCache, registry, com, files};
  PlatformExecutionSteps steps{cleaning, files, clock, power};
  NotifierPlatform platform{ui, ui, process, power, files, codePage};
  TApplication app{platform, steps};

  WholeRun(const std::string& arguments, const std::string& settings) {
    process.commandLine = "Notifier.exe " + arguments;
    process.modulePath = "C:\\Dormivo\\Notifier.exe";
    process.onExit = [this](uint32_t) { ui.EndLoop(); };
    files.AddFile("C:\\Dormivo\\Notifier.exe", "MZ");
    files.AddFile("C:\\Dormivo\\Settings.dat", "[Settings]\r\nNotifyTimer=3\r\n" + settings);
    fakeClock.UseUnitedStates();
    fakeClock.SetTime({2026, 3, 6, 14, 21, 5, 7, 0});
    shell.SetJournal(&journal);
    urlCache.SetJournal(&journal);
    urlCache.AddEntry("http://example.com/page", win::kNormalCacheEntry);
    urlCache.AddEntry("Cookie:user@example.com/", win::kCookieCacheEntry);
  }
  // The index in the journal of the first entry that starts with `prefix`, or -1.
  long First(const std::string& prefix) const {
    for (size_t i = 0; i < journal.size(); ++i) {
      if (journal[i].compare(0, prefix.size(), prefix) == 0)
        return static_cast<long>(i);
    }
    return -1;
  }
};

TEST(WholeSequence, CleansThenLogsThenActsOnTheRealStages) {
  WholeRun run("6 \"Nightly backup\" -c", "Recycle=1\r\nCache=1\r\n");
  EXPECT_EQ(run.app.Run(), 0);
  const long recycle = run.First("SHEmptyRecycleBinA");
  const long cache = run.First("DeleteUrlCacheEntry");
  const long log = run.First("log: ");
  const long action = run.First("action: LockWorkStation");
  ASSERT_GE(recycle, 0);
  ASSERT_GE(cache, 0);
  ASSERT_GE(log, 0);
  ASSERT_GE(action, 0);
  EXPECT_LT(recycle, cache);
  EXPECT_LT(cache, log);
  EXPECT_LT(log, action);
  const std::string line = "[3/14/2026 9:05:07 PM]Nightly backup>Lock Work Station\r\n";
  EXPECT_EQ(run.power.logAtAction, line) << "the log was saved before the action";
  EXPECT_EQ(run.files.Content(kLog), line);
  EXPECT_EQ(run.urlCache.Urls(), std::vector<std::string>{"Cookie:user@example.com/"});
  EXPECT_EQ(run.ui.QuitCode(), 0);
}

TEST(WholeSequence, WithoutTheFlagNothingIsCleaned) {
  WholeRun run("5 t", "Recycle=1\r\nCache=1\r\n");
  EXPECT_EQ(run.app.Run(), 0);
  EXPECT_EQ(run.First("SHEmptyRecycleBinA"), -1);
  EXPECT_EQ(run.urlCache.Urls().size(), 2u);
  EXPECT_EQ(run.files.Content(kLog), "[3/14/2026 9:05:07 PM]t>Turn Monitor Off\r\n");
  EXPECT_GE(run.First("action: SendMessageA"), 0);
}

TEST(WholeSequence, AFailureStopsTheSequenceSilently) {
  struct Row {
    const char* name;
    const char* settings;
    bool holdLog;
    std::optional<std::string> log;  // Log.dat afterwards
  };
  const std::string earlier = "[1/2/2026 3:04:05 AM]Earlier>Restart\r\n";
  const Row rows[] = {
      // The URL history class is not registered: the stage fails after the typed addresses.
      {"failing cleaning stage: no log, no action", "History=1\r\n", false, std::nullopt},
      {"log that cannot be opened: no action", "", true, earlier},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WholeRun run("6 t -c", row.settings);
    if (row.holdLog) {
      run.files.AddFile(kLog, earlier);
      run.files.DenyAccess(kLog);
    }
    EXPECT_EQ(run.app.Run(), 0);
    EXPECT_EQ(run.files.Content(kLog), row.log);
    EXPECT_EQ(run.First("action: "), -1);
    EXPECT_TRUE(run.ui.MessageBoxes().empty());
    EXPECT_EQ(run.ui.QuitCode(), 0);
  }
}

}  // namespace
}  // namespace dormivo
