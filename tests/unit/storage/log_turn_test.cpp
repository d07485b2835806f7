// The executors' turn at the log: the lock's name, the bounded wait for the lock, and the
// retries when a file is held by another process.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/win_constants.h"
#include "storage/log_turn.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_sync.h"

namespace dormivo {
namespace {

using fakes::FakeFileSystem;
using fakes::FakeSync;

constexpr char kLog[] = "C:\\Dormivo\\Log.dat";

TEST(LogLockName, EverySpellingOfOnePathNamesOneLockAndOtherPathsOthers) {
  FakeFileSystem fs;
  fs.SetCurrentDirectory("C:\\Dormivo");
  const std::string name = LogLockName(fs, kLog);
  EXPECT_EQ(name.rfind("Global\\Dormivo.Log.", 0), 0u) << name;
  EXPECT_EQ(name.size(), 35u);
  EXPECT_EQ(name.find('\\', 7), std::string::npos) << "no backslash after the namespace";
  for (const char* same :
       {"c:\\dormivo\\log.dat", "C:/Dormivo/Log.dat", "Log.dat", "C:\\DORMIVO\\LOG.DAT"}) {
    SCOPED_TRACE(same);
    EXPECT_EQ(LogLockName(fs, same), name);
  }
  for (const char* other :
       {"C:\\Dormivo2\\Log.dat", "D:\\Dormivo\\Log.dat", "C:\\Log.dat", "C:\\Dormivo\\Log.da"}) {
    SCOPED_TRACE(other);
    EXPECT_NE(LogLockName(fs, other), name);
  }
}

TEST(LogWaitBudget, CountsDownAcrossTheWrapOfTheTickCount) {
  FakeSync sync;
  sync.SetTickCount(0xFFFFFF00u);
  const LogWaitBudget budget(sync, kLogWaitMs);
  EXPECT_EQ(budget.Remaining(), 3000u);
  sync.Sleep(0x100 + 1000);  // past the wrap
  EXPECT_EQ(budget.Remaining(), 3000u - 0x100 - 1000);
  sync.Sleep(5000);
  EXPECT_EQ(budget.Remaining(), 0u);
}

TEST(LogTurn, WaitsForTheLockAtMostTheBudgetAndAlwaysLetsItGo) {
  struct Row {
    const char* name;
    std::optional<std::optional<uint32_t>> heldByAnother;  // release after (nullopt: never)
    bool abandoned;
    bool failCreate;
    bool failWait;
    bool owned;
    bool raises;
    uint32_t waited;
  };
  const Row rows[] = {
      {"free", std::nullopt, false, false, false, true, false, 0},
      {"another executor's turn ends after 1.2 s", std::optional<uint32_t>(1200), false, false,
       false, true, false, 1200},
      {"another executor's turn ends just at the bound", std::optional<uint32_t>(3000), false,
       false, false, true, false, 3000},
      {"another executor keeps it past the bound", std::optional<uint32_t>(3001), false, false,
       false, false, true, 3000},
      {"another executor never lets it go", std::optional<uint32_t>(), false, false, false, false,
       true, 3000},
      {"left by a killed executor: taken over", std::nullopt, true, false, false, true, false, 0},
      {"no mutex to be had: on without it", std::nullopt, false, true, false, false, false, 0},
      {"the wait fails: on without it", std::nullopt, false, false, true, false, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem fs;
    FakeSync sync;
    const std::string name = LogLockName(fs, kLog);
    if (row.heldByAnother)
      sync.HoldByAnother(name, *row.heldByAnother);
    if (row.abandoned)
      sync.AbandonByAnother(name);
    if (row.failCreate)
      sync.FailCreate();
    if (row.failWait)
      sync.FailWait();
    const LogWaitBudget budget(sync, kLogWaitMs);
    bool raised = false;
    try {
      const LogTurn turn(sync, fs, kLog, budget);
      EXPECT_EQ(turn.Owned(), row.owned);
      EXPECT_EQ(sync.Owned(name), row.owned);
    } catch (const Exception& e) {
      raised = true;
      EXPECT_EQ(std::string(e.what()),
                "The log \"C:\\Dormivo\\Log.dat\" is kept by another task for too long");
    }
    EXPECT_EQ(raised, row.raises);
    EXPECT_EQ(sync.Elapsed(), row.waited);
    EXPECT_EQ(sync.CallsOf("CreateMutexA"),
              std::vector<std::string>{"CreateMutexA(0," + name + ")"});
    if (!row.failCreate) {
      EXPECT_EQ(sync.CallsOf("WaitForSingleObject"),
                std::vector<std::string>{"WaitForSingleObject(0x500,3000)"});
      EXPECT_EQ(sync.CallsOf("CloseHandle"), std::vector<std::string>{"CloseHandle(0x500)"});
    }
    EXPECT_EQ(sync.CallsOf("ReleaseMutex").size(), row.owned ? 1u : 0u);
    EXPECT_FALSE(sync.Owned(name));
    EXPECT_EQ(sync.OpenHandleCount(), 0u);
  }
}

TEST(LogTurn, ALockTakenOverFromAKilledExecutorIsReleasedForTheNext) {
  FakeFileSystem fs;
  FakeSync sync;
  const std::string name = LogLockName(fs, kLog);
  sync.AbandonByAnother(name);
  for (int executor = 0; executor < 2; ++executor) {
    const LogWaitBudget budget(sync, kLogWaitMs);
    const LogTurn turn(sync, fs, kLog, budget);
    EXPECT_TRUE(turn.Owned());
  }
  EXPECT_EQ(sync.Elapsed(), 0u) << "neither waited";
  EXPECT_EQ(sync.CallsOf("ReleaseMutex").size(), 2u);
}

class SharingRetry : public ::testing::Test {
 protected:
  SharingRetry() { fs_.AddFile(kLog, "old"); }
  // Another process opens the log without sharing.
  void HoldLog() {
    holder_ =
        fs_.CreateFileA(kLog, win::kGenericRead, 0, win::kOpenExisting, win::kFileAttributeNormal);
    ASSERT_NE(holder_, platform::kInvalidHandle);
  }
  platform::Handle OpenLog(platform::FileSystem& fs) {
    return fs.CreateFileA(kLog, win::kGenericRead, win::kFileShareRead, win::kOpenExisting,
                          win::kFileAttributeNormal);
  }

  FakeFileSystem fs_;
  FakeSync sync_;
  platform::Handle holder_ = platform::kInvalidHandle;
};

TEST_F(SharingRetry, AFileHeldForAMomentOpensOnceItIsLetGo) {
  HoldLog();
  sync_.onSleep = [this](int sleeps) {
    if (sleeps == 3)
      fs_.CloseHandle(holder_);
  };
  const LogWaitBudget budget(sync_, kLogWaitMs);
  SharingRetryFileSystem retrying(fs_, sync_, budget);
  const platform::Handle file = OpenLog(retrying);
  ASSERT_NE(file, platform::kInvalidHandle);
  EXPECT_EQ(fs_.CallsOf("CreateFileA").size(), 1u + 4u) << "the holder's open and four tries";
  EXPECT_EQ(sync_.CallsOf("Sleep"), std::vector<std::string>(3, "Sleep(20)"));
  fs_.CloseHandle(file);
}

TEST_F(SharingRetry, AFileHeldPastTheBoundFailsWithTheSharingViolation) {
  HoldLog();
  sync_.SetTickCount(0xFFFFFFF0u);  // the wait crosses the tick count's wrap
  const LogWaitBudget budget(sync_, kLogWaitMs);
  sync_.Sleep(1000);  // spent before: the lock's wait
  sync_.ClearCalls();
  SharingRetryFileSystem retrying(fs_, sync_, budget);
  EXPECT_EQ(OpenLog(retrying), platform::kInvalidHandle);
  EXPECT_EQ(retrying.GetLastError(), win::kErrorSharingViolation);
  EXPECT_EQ(sync_.Elapsed(), 3000u) << "the budget in all, not per step";
  EXPECT_EQ(sync_.CallsOf("Sleep").size(), 100u);
  EXPECT_EQ(fs_.CallsOf("CreateFileA").size(), 1u + 101u);
}

TEST_F(SharingRetry, OtherFailuresAreNotTriedAgain) {
  fs_.DenyAccess(kLog);
  const LogWaitBudget budget(sync_, kLogWaitMs);
  SharingRetryFileSystem retrying(fs_, sync_, budget);
  EXPECT_EQ(OpenLog(retrying), platform::kInvalidHandle);
  EXPECT_EQ(retrying.GetLastError(), win::kErrorAccessDenied);
  EXPECT_TRUE(sync_.CallsOf("Sleep").empty());
  EXPECT_EQ(fs_.CallsOf("CreateFileA").size(), 1u);
}

}  // namespace
}  // namespace dormivo
