// The whole executor with the real execution stages (cleaning stage, TJvLogFile, actions) over
// the fakes of every platform service: what happens at the end of the countdown, in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/platform_steps.h"
#include "platform/forwarding_file_system.h"
#include "platform/win_constants.h"
#include "storage/log_turn.h"
#include "tests/fakes/fake_clock_locale.h"
#include "tests/fakes/fake_com.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_power.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_sync.h"
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

// Notes in the shared journal every open and replacement of Log.dat by the log step, and whether
// the executors' lock was owned at that moment.
class JournalingFiles final : public platform::ForwardingFileSystem {
 public:
  JournalingFiles(fakes::FakeFileSystem& inner, fakes::FakeSync& sync,
                  std::vector<std::string>& journal)
      : ForwardingFileSystem(inner), sync_(sync), journal_(journal) {}
  platform::Handle CreateFileA(const std::string& path, uint32_t access, uint32_t share,
                               uint32_t disposition, uint32_t flags) override {
    Note("file: CreateFileA(" + path + ")");
    return ForwardingFileSystem::CreateFileA(path, access, share, disposition, flags);
  }
  bool MoveFileExA(const std::string& from, const std::string& to, uint32_t flags) override {
    Note("file: MoveFileExA(" + from + "," + to + ")");
    return ForwardingFileSystem::MoveFileExA(from, to, flags);
  }

 private:
  void Note(const std::string& call) {
    journal_.push_back(call + (sync_.Owned(LogLockName(*this, kLog)) ? " locked" : " unlocked"));
  }
  fakes::FakeSync& sync_;
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
  fakes::FakeSync sync;
  JournalingFiles logFiles{files, sync, journal};
  CleaningPlatform cleaning{shell, urlCache, registry, com, files};
  PlatformExecutionSteps steps{cleaning, logFiles, clock, power, sync};
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
    sync.SetJournal(&journal);
  }
  // The journal's entries that start with `prefix`.
  std::vector<std::string> All(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& entry : journal) {
      if (entry.compare(0, prefix.size(), prefix) == 0)
        out.push_back(entry);
    }
    return out;
  }
  // The index in the journal of the last entry that starts with `prefix`, or -1.
  long Last(const std::string& prefix) const {
    for (size_t i = journal.size(); i-- > 0;) {
      if (journal[i].compare(0, prefix.size(), prefix) == 0)
        return static_cast<long>(i);
    }
    return -1;
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

TEST(WholeSequence, TheLockIsOwnedFromBeforeTheLogIsReadUntilItIsReplaced) {
  WholeRun run("6 t", "");
  run.files.AddFile(kLog, "[1/2/2026 3:04:05 AM]Earlier>Restart\r\n");
  EXPECT_EQ(run.app.Run(), 0);
  const std::string name = LogLockName(run.files, kLog);
  const long created = run.First("CreateMutexA(");
  const long waited = run.First("WaitForSingleObject(");
  const long released = run.First("ReleaseMutex(");
  const long closed = run.First("CloseHandle(");
  ASSERT_GE(created, 0);
  EXPECT_EQ(run.journal[static_cast<size_t>(created)], "CreateMutexA(0," + name + ")");
  EXPECT_EQ(run.journal[static_cast<size_t>(waited)], "WaitForSingleObject(0x500,3000)");
  EXPECT_LT(created, waited);
  EXPECT_LT(waited, run.First("file: CreateFileA(C:\\Dormivo\\Log.dat)")) << "before the read";
  EXPECT_LT(run.Last("file: MoveFileExA("), released) << "after the last replacement";
  EXPECT_LT(released, closed);
  EXPECT_LT(closed, run.First("action: LockWorkStation"));
  // Every open and replacement of the log step, the load and all three saves, is in the turn.
  const std::vector<std::string> files = run.All("file: ");
  EXPECT_EQ(run.All("file: MoveFileExA(").size(), 3u);
  for (const std::string& call : files) EXPECT_NE(call.find(" locked"), std::string::npos) << call;
  EXPECT_EQ(run.sync.OpenHandleCount(), 0u);
  EXPECT_EQ(run.sync.Elapsed(), 0u) << "no wait when nobody else logs";
}

TEST(WholeSequence, TasksThatFallDueTogetherWaitTheirTurnAtMostThreeSecondsInAll) {
  const std::string earlier = "[1/2/2026 3:04:05 AM]Earlier>Restart\r\n";
  const std::string line = "[3/14/2026 9:05:07 PM]t>Lock Work Station\r\n";
  struct Row {
    const char* name;
    // Another executor holds the lock for this long (nullopt: not at all; 0: never lets go).
    std::optional<uint32_t> lockHeld;
    bool lockAbandoned;
    // Another process holds Log.dat open without sharing until the executor's Nth pause (0:
    // longer than the executor waits; -1: not at all).
    int fileHeldSleeps;
    bool logged;
    uint32_t waited;  // milliseconds, as the fake tick count sees them
  };
  const Row rows[] = {
      {"another executor's turn ends after 2 s", 2000, false, -1, true, 2000},
      {"another executor keeps the lock", 0, false, -1, false, 3000},
      {"the lock was left by a killed executor", std::nullopt, true, -1, true, 0},
      {"Log.dat held for the first three tries", std::nullopt, false, 3, true, 60},
      {"Log.dat held past the bound", std::nullopt, false, 0, false, 3000},
      {"2.5 s for the lock, then Log.dat held 1 s more: over the bound in all", 2500, false, 50,
       false, 3000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WholeRun run("6 t", "");
    run.files.AddFile(kLog, earlier);
    const std::string name = LogLockName(run.files, kLog);
    if (row.lockHeld)
      run.sync.HoldByAnother(name, *row.lockHeld == 0 ? std::nullopt : row.lockHeld);
    if (row.lockAbandoned)
      run.sync.AbandonByAnother(name);
    platform::Handle holder = platform::kInvalidHandle;
    if (row.fileHeldSleeps >= 0) {
      holder = run.files.CreateFileA(kLog, win::kGenericRead, 0, win::kOpenExisting,
                                     win::kFileAttributeNormal);
      ASSERT_NE(holder, platform::kInvalidHandle);
    }
    run.sync.onSleep = [&](int sleeps) {
      if (sleeps == row.fileHeldSleeps)
        run.files.CloseHandle(holder);
    };
    EXPECT_EQ(run.app.Run(), 0);
    EXPECT_EQ(run.files.Content(kLog), row.logged ? earlier + line : earlier);
    EXPECT_EQ(run.All("action: LockWorkStation").size(), row.logged ? 1u : 0u);
    EXPECT_EQ(run.sync.Elapsed(), row.waited);
    if (row.lockHeld && *row.lockHeld == 0) {
      EXPECT_TRUE(run.All("file: ").empty()) << "nothing read or written without the lock";
    }
    EXPECT_FALSE(run.sync.Owned(name));
    EXPECT_EQ(run.sync.OpenHandleCount(), 0u);
    EXPECT_TRUE(run.ui.MessageBoxes().empty());
    EXPECT_EQ(run.ui.QuitCode(), 0);
  }
}

TEST(WholeSequence, WithoutAMutexTheLogStepStillRunsAndRetries) {
  WholeRun run("6 t", "");
  run.sync.FailCreate();
  run.files.AddFile(kLog, "");
  const platform::Handle holder = run.files.CreateFileA(
      kLog, win::kGenericRead, 0, win::kOpenExisting, win::kFileAttributeNormal);
  run.sync.onSleep = [&](int sleeps) {
    if (sleeps == 2)
      run.files.CloseHandle(holder);
  };
  EXPECT_EQ(run.app.Run(), 0);
  EXPECT_EQ(run.files.Content(kLog), "[3/14/2026 9:05:07 PM]t>Lock Work Station\r\n");
  EXPECT_EQ(run.All("action: LockWorkStation").size(), 1u);
  EXPECT_TRUE(run.sync.CallsOf("WaitForSingleObject").empty());
}

}  // namespace
}  // namespace dormivo
