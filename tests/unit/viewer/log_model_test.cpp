// The viewer's rows: Log.dat read by the log's own rules, opened only for the one read and
// sharing everything, followed when it changes, and every failure a status instead of a message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/win_constants.h"
#include "storage/JvLogFile.h"
#include "tests/unit/storage/log_test_support.h"
#include "viewer/log_model.h"

namespace dormivo::viewer {
namespace {

using logtest::Entry;
using logtest::kLog;

// 2026-03-14 20:05:07 UTC as a file time.
constexpr uint64_t kMarch14 = 134179923070000000;

std::vector<Entry> RowsOf(const LogModel& model) {
  std::vector<Entry> out;
  for (int i = 0; i < model.RowCount(); ++i) {
    const LogRow row = model.Row(i);
    out.push_back(
        Entry{std::string(row.time), std::string(row.event), std::string(row.description)});
  }
  return out;
}

class LogRows : public logtest::LogTest {
 protected:
  // What the executor does at the end of a run: one entry through the log component.
  void ExecutorLogs(const std::string& title) {
    TJvLogFile log(fs_, clock_);
    log.SetFileName(kLog);
    log.SetAutoSave(true);
    log.SetActive(true);
    log.SetSizeLimit(1000);
    log.Add(title, "Power Off");
    log.Close();
  }
};

TEST_F(LogRows, ReadsTrickyLogsAsTheLogComponentDoes) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<Entry> rows;
  };
  const Row rows[] = {
      {"empty file", "", {}},
      {"the example line",
       "[3/14/2026 9:05:07 PM]Build >> Deploy>Restart\r\n",
       {{"3/14/2026 9:05:07 PM", "Build > Deploy", "Restart"}}},
      {"CR, LF and CR LF line ends, last line without one",
       "[a]1>x\r[b]2>y\n[c]3>z\r\n[d]4>w",
       {{"a", "1", "x"}, {"b", "2", "y"}, {"c", "3", "z"}, {"d", "4", "w"}}},
      {"a line without separator is all title", "[t]Backup done\r\n", {{"t", "Backup done", ""}}},
      {"the first single > separates, later ones belong to the description",
       "[t]a>>b>c>d\r\n",
       {{"t", "a>b", "c>d"}}},
      {"a title of doubled > only", "[t]>>>>\r\n", {{"t", ">>", ""}}},
      {"text before [ and lines without [ or ] are passed over",
       "junk\r\nnoise [t]x>y\r\n[no close>z\r\n\r\n",
       {{"t", "x", "y"}}},
      {"a ] in the title", "[t]]>y\r\n", {{"t", "]", "y"}}},
      {"empty fields", "[]>\r\n", {{"", "", ""}}},
      {"a NUL ends the text",
       std::string("[a]1>x\r\n[b]2\0>y\r\n[c]3>z\r\n", 25),
       {{"a", "1", "x"}, {"b", "2", ""}}},
      {"bytes above 127 as stored",
       "[14.03.2026]Sch\xE9ma \xFC\x80>\xFF\xFE\r\n",
       {{"14.03.2026", "Sch\xE9ma \xFC\x80", "\xFF\xFE"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs_.AddFile(kLog, row.text);
    LogModel model(fs_, clock_, kLog);
    model.Reload();
    EXPECT_EQ(model.State(), LogState::kLoaded);
    EXPECT_EQ(RowsOf(model), row.rows);
    // The same rows the log component itself loads.
    TJvLogFile log(fs_, clock_);
    log.Load(kLog);
    EXPECT_EQ(logtest::Entries(log.Records()), row.rows);
  }
}

TEST_F(LogRows, OpensForReadingOnlySharingEverythingAndClosesAtOnce) {
  fs_.AddFile(kLog, "[t]x>y\r\n");
  LogModel model(fs_, clock_, kLog);
  model.Reload();
  EXPECT_EQ(fs_.CallsOf("CreateFileA"),
            std::vector<std::string>{"CreateFileA(C:\\Dormivo\\Log.dat,0x80000000,7,3,0x80)"});
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
  EXPECT_TRUE(fs_.CallsOf("WriteFile").empty());
  EXPECT_TRUE(fs_.CallsOf("MoveFileExA").empty());
  // With the viewer open, the executor's save goes through.
  ExecutorLogs("Nightly backup");
  EXPECT_EQ(fs_.Content(kLog), "[t]x>y\r\n[3/14/2026 9:05:07 PM]Nightly backup>Power Off\r\n");
}

TEST_F(LogRows, AMissingFileOrAFolderIsAnEmptyListThatNoTaskHasBeenLogged) {
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "folder" : "missing");
    if (folder)
      fs_.AddFolder(kLog);
    LogModel model(fs_, clock_, kLog);
    model.Reload();
    EXPECT_EQ(model.State(), LogState::kMissing);
    EXPECT_EQ(model.RowCount(), 0);
    EXPECT_EQ(model.StatusText(), "No task has been logged yet");
    EXPECT_EQ(model.FileTimeText(), "");
  }
}

TEST_F(LogRows, StatusCountsTheEntriesAndGivesTheFileTimeInLocalTime) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  fs_.SetLastWriteTime(kLog, kMarch14);
  clock_.SetUtcOffsetMinutes(60);
  LogModel model(fs_, clock_, kLog);
  model.Reload();
  EXPECT_EQ(model.EntryText(), "1 entry");
  EXPECT_EQ(model.FileTimeText(), "Last written 3/14/2026 9:05:07 PM");
  EXPECT_EQ(model.StatusText(), "1 entry   Last written 3/14/2026 9:05:07 PM");

  fs_.AddFile(kLog, "[a]1>x\r\n[b]2>y\r\n");
  fs_.SetLastWriteTime(kLog, kMarch14 + 10000000);
  clock_.SetUtcOffsetMinutes(std::nullopt);
  model.Reload();
  EXPECT_EQ(model.StatusText(), "2 entries");
}

TEST_F(LogRows, FileTimesBecomeTheLogsOwnTimeText) {
  struct Row {
    const char* name;
    uint64_t fileTime;
    int offsetMinutes;
    std::string text;
  };
  const Row rows[] = {
      {"the first moment", 0, 0, "1/1/1601"},
      {"a leap day", 133536836960000000, 0, "2/29/2024 12:34:56 PM"},
      {"west of Greenwich, back across midnight", 133536384000000000, -300, "2/28/2024 7:00:00 PM"},
      {"the end of a century that is no leap year", 94354847990000000, 0, "12/31/1899 11:59:59 PM"},
      {"the leap day of a year divisible by 400", 125962560000000000, 0, "2/29/2000"},
      {"beyond what Windows converts", uint64_t{1} << 63, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clock_.SetUtcOffsetMinutes(row.offsetMinutes);
    EXPECT_EQ(FileTimeText(clock_, row.fileTime), row.text);
  }
}

TEST_F(LogRows, AFileHeldForWritingIsAStatusKeepsTheRowsAndIsTriedAgainWhenItChanges) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  LogModel model(fs_, clock_, kLog);
  EXPECT_TRUE(model.CheckForChange());
  ASSERT_EQ(model.RowCount(), 1);

  // Another program changes the file and keeps it open for writing, sharing nothing.
  fs_.AddFile(kLog, "[a]1>x\r\n[b]2>y\r\n");
  const platform::Handle holder =
      fs_.CreateFileA(kLog, win::kGenericWrite, 0, win::kOpenExisting, win::kFileAttributeNormal);
  ASSERT_NE(holder, platform::kInvalidHandle);
  EXPECT_TRUE(model.CheckForChange());
  EXPECT_EQ(model.State(), LogState::kUnreadable);
  EXPECT_EQ(model.RowCount(), 1);
  EXPECT_EQ(model.EntryText(),
            "Log.dat cannot be read at the moment (The process cannot access the file because it "
            "is being used by another process); it is read again when it changes");

  // Nothing changed since: no new attempt.
  fs_.ClearCalls();
  EXPECT_FALSE(model.CheckForChange());
  EXPECT_TRUE(fs_.CallsOf("CreateFileA").empty());

  // The writer writes its last bytes and lets go: the next check reads the file.
  uint32_t wrote = 0;
  ASSERT_TRUE(fs_.WriteFile(holder, "[c", 2, &wrote));
  ASSERT_TRUE(fs_.CloseHandle(holder));
  EXPECT_TRUE(model.CheckForChange());
  EXPECT_EQ(model.State(), LogState::kLoaded);
  EXPECT_EQ(RowsOf(model), (std::vector<Entry>{{"c", "1", "x"}, {"b", "2", "y"}}));
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(LogRows, AFailedReadIsAStatusAndF5TriesAgain) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  fs_.Fail(fakes::FakeFileSystem::Op::ReadFile, win::kErrorReadFault);
  LogModel model(fs_, clock_, kLog);
  model.Reload();
  EXPECT_EQ(model.State(), LogState::kUnreadable);
  EXPECT_EQ(model.RowCount(), 0);
  EXPECT_EQ(model.StatusText(),
            "Log.dat cannot be read at the moment (The system cannot read from the specified "
            "device); it is read again when it changes");
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
  model.Reload();
  EXPECT_EQ(model.State(), LogState::kLoaded);
  EXPECT_EQ(model.RowCount(), 1);
}

TEST_F(LogRows, FollowsTheExecutorsRunsAndADeletedFile) {
  LogModel model(fs_, clock_, kLog);
  EXPECT_TRUE(model.CheckForChange());
  EXPECT_EQ(model.State(), LogState::kMissing);
  EXPECT_FALSE(model.CheckForChange());

  ExecutorLogs("First");
  EXPECT_TRUE(model.CheckForChange());
  EXPECT_EQ(model.EntryText(), "1 entry");
  EXPECT_FALSE(model.CheckForChange());

  ExecutorLogs("Second");
  EXPECT_TRUE(model.CheckForChange());
  ASSERT_EQ(model.RowCount(), 2);
  EXPECT_EQ(model.Row(1).event, "Second");
  EXPECT_EQ(model.Row(0).event, "First");

  ASSERT_TRUE(fs_.DeleteFileA(kLog));
  EXPECT_TRUE(model.CheckForChange());
  EXPECT_EQ(model.State(), LogState::kMissing);
  EXPECT_EQ(model.RowCount(), 0);
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(LogRows, ACheckWithoutChangeLooksOnlyAtTheFolderEntry) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  LogModel model(fs_, clock_, kLog);
  model.Reload();
  fs_.ClearCalls();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(model.CheckForChange());
  for (const std::string& call : fs_.Calls()) {
    SCOPED_TRACE(call);
    EXPECT_TRUE(call.rfind("FindFirstFileA(", 0) == 0 || call.rfind("FindClose(", 0) == 0);
  }
  EXPECT_EQ(fs_.CallsOf("FindFirstFileA").size(), 3u);
}

TEST_F(LogRows, RowOutsideTheListRaises) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  LogModel model(fs_, clock_, kLog);
  model.Reload();
  EXPECT_EQ(logtest::Entries(model.Records()).size(), 1u);
  EXPECT_THROW(model.Row(1), dormivo::Exception);
  EXPECT_THROW(model.Row(-1), dormivo::Exception);
}

}  // namespace
}  // namespace dormivo::viewer
