// The executors' turn at the log through the real Windows layer: the named mutex between
// processes, one left by a killed process, readers beside it, and the retries while another
// process holds the file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "platform/exception.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/sync_win32.h"
#include "platform/win_constants.h"
#include "storage/log_turn.h"
#include "tests/wine/wine_support.h"

namespace dormivo {
namespace {

// Short bounds keep these tests quick; the log step itself waits kLogWaitMs.
constexpr uint32_t kBoundMs = 400;

class LogTurnOnWindows : public ::testing::Test {
 protected:
  LogTurnOnWindows() : path_(folder_.Path() + "Log.dat") { folder_.WriteFile("Log.dat", "old"); }
  std::string LockName() { return LogLockName(fs_, path_); }

  winetest::ScratchFolder folder_;
  const std::string path_;
  platform::Win32FileSystem fs_;
  platform::Win32SyncApi sync_;
};

TEST_F(LogTurnOnWindows, AnotherProcessOwningTheLockKeepsTheTurnForEverySpellingOfThePath) {
  std::string other = path_;
  for (char& c : other) {
    if (c == '\\')
      c = '/';
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  {
    winetest::MutexHolder holder(LockName());
    ASSERT_TRUE(holder.Holding()) << LockName();
    for (const std::string& path : {path_, other}) {
      SCOPED_TRACE(path);
      const LogWaitBudget budget(sync_, kBoundMs);
      const DWORD from = GetTickCount();
      EXPECT_THROW(LogTurn(sync_, fs_, path, budget), Exception);
      EXPECT_GE(GetTickCount() - from, kBoundMs - 20) << "it waited for the bound";
    }
  }
  const LogWaitBudget budget(sync_, kBoundMs);
  const LogTurn turn(sync_, fs_, other, budget);
  EXPECT_TRUE(turn.Owned()) << "free once the other process let it go";
}

// A mutex lasts while any process has a handle to it: when the killed owner held the only one
// it is gone and the next executor makes a free one; when other executors are waiting for it,
// it is left abandoned and one of them owns it.
TEST_F(LogTurnOnWindows, ALockLeftByAKilledProcessIsTakenOverAndThenFree) {
  const platform::Handle waiter = sync_.CreateMutexA(false, LockName());
  ASSERT_NE(waiter, 0u);
  {
    winetest::MutexHolder holder(LockName());
    ASSERT_TRUE(holder.Holding());
    holder.Kill();
  }
  EXPECT_EQ(sync_.WaitForSingleObject(waiter, 1000), win::kWaitAbandoned);
  EXPECT_TRUE(sync_.ReleaseMutex(waiter));

  {
    winetest::MutexHolder killed(LockName());
    ASSERT_TRUE(killed.Holding());
    killed.Kill();
  }
  {
    const LogWaitBudget budget(sync_, kBoundMs);
    const LogTurn turn(sync_, fs_, path_, budget);
    EXPECT_TRUE(turn.Owned()) << "the abandoned lock is taken over";
  }
  winetest::MutexHolder next(LockName());
  EXPECT_TRUE(next.Holding()) << "released for the next executor";
  EXPECT_TRUE(sync_.CloseHandle(waiter));
}

TEST_F(LogTurnOnWindows, ReadersOfTheLogAreNotHeldUpByTheTurn) {
  const LogWaitBudget budget(sync_, kBoundMs);
  const LogTurn turn(sync_, fs_, path_, budget);
  ASSERT_TRUE(turn.Owned());
  winetest::FileHolder reader(path_, "r", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  EXPECT_TRUE(reader.Holding());
}

TEST_F(LogTurnOnWindows, OpeningAFileAnotherProcessHoldsIsTriedAgainWhileTheBoundLasts) {
  auto open = [this](platform::FileSystem& fs) {
    return fs.CreateFileA(path_, win::kGenericRead, win::kFileShareRead, win::kOpenExisting,
                          win::kFileAttributeNormal);
  };
  {
    winetest::FileHolder holder(path_, "rw", 0);
    ASSERT_TRUE(holder.Holding());
    const LogWaitBudget budget(sync_, kBoundMs);
    SharingRetryFileSystem retrying(fs_, sync_, budget);
    EXPECT_EQ(open(retrying), platform::kInvalidHandle);
    EXPECT_EQ(retrying.GetLastError(), win::kErrorSharingViolation);
    EXPECT_EQ(budget.Remaining(), 0u);
  }
  auto holder = std::make_unique<winetest::FileHolder>(path_, "rw", 0);
  ASSERT_TRUE(holder->Holding());
  std::thread release([&holder] {
    Sleep(kBoundMs / 2);
    holder.reset();
  });
  const LogWaitBudget budget(sync_, kLogWaitMs);
  SharingRetryFileSystem retrying(fs_, sync_, budget);
  const platform::Handle file = open(retrying);
  release.join();
  EXPECT_NE(file, platform::kInvalidHandle) << "opened once the other process let go";
  if (file != platform::kInvalidHandle)
    fs_.CloseHandle(file);
}

}  // namespace
}  // namespace dormivo
