// The log viewer's reading through the real Windows layer: what another process's handle on
// Log.dat does to it, that it leaves the file free for the executor's save, and the file's time
// against the system's own conversion.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/clock_locale_win32.h"
#include "platform/win32/file_system_win32.h"
#include "storage/JvLogFile.h"
#include "tests/wine/log_folder_fixture.h"
#include "tests/wine/wine_support.h"
#include "viewer/log_model.h"

namespace dormivo::viewer {
namespace {

class ViewerReadOnWindows : public winetest::LogFolderTest {};

TEST_F(ViewerReadOnWindows, ReadsBesideAnotherProcessUnlessItSharesNoReading) {
  struct Row {
    const char* name;
    const char* access;
    DWORD share;
    LogState state;
  };
  const Row rows[] = {
      {"writing, sharing everything", "w", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
       LogState::kLoaded},
      {"reading, sharing reading", "r", FILE_SHARE_READ, LogState::kLoaded},
      {"writing, sharing reading", "w", FILE_SHARE_READ, LogState::kLoaded},
      {"writing, sharing nothing", "w", 0, LogState::kUnreadable},
      {"reading, sharing nothing", "r", 0, LogState::kUnreadable},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    winetest::FileHolder holder(path_, row.access, row.share);
    ASSERT_TRUE(holder.Holding());
    const LogRead read = ReadLog(fs_, path_);
    EXPECT_EQ(read.state, row.state);
    if (row.state == LogState::kLoaded) {
      EXPECT_EQ(read.records.Count(), 1);
    } else {
      EXPECT_EQ(read.error, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
    }
  }
}

TEST_F(ViewerReadOnWindows, LeavesTheFileFreeForTheExecutorsSaveAndSeesItsChange) {
  LogModel model(fs_, clock_, path_);
  ASSERT_TRUE(model.CheckForChange());
  ASSERT_EQ(model.State(), LogState::kLoaded);
  ASSERT_EQ(model.RowCount(), 1);

  // Nobody else may have the file open now: an exclusive open succeeds.
  const HANDLE exclusive = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  CloseHandle(exclusive);

  TJvLogFile log(fs_, clock_);
  log.SetFileName(path_);
  log.SetAutoSave(true);
  log.SetSizeLimit(1000);
  log.Add("3/14/2026 9:05:07 PM", "Nightly backup", "Power Off");
  log.Close();

  EXPECT_TRUE(model.CheckForChange());
  ASSERT_EQ(model.RowCount(), 2);
  EXPECT_EQ(model.Row(1).event, "Nightly backup");
  EXPECT_FALSE(model.CheckForChange());
  EXPECT_EQ(model.EntryText(), "2 entries");
}

TEST(ViewerFileTimeOnWindows, IsTheSystemsLocalTimeOfTheFileTime) {
  platform::Win32ClockLocale clock;
  // A moment of each season, a leap day and the first instant of 2000 (UTC file times).
  const uint64_t times[] = {133536836960000000, 134179923070000000, 134290000000000000,
                            125911584000000000, 133700000000000000};
  for (const uint64_t time : times) {
    SCOPED_TRACE(time);
    FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    FILETIME local{};
    SYSTEMTIME system{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    ASSERT_TRUE(FileTimeToSystemTime(&local, &system));
    EXPECT_EQ(FileTimeText(clock, time), LogTimeText(platform::FromWindowsTime(system), clock));
  }
}

}  // namespace
}  // namespace dormivo::viewer
