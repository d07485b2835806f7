// Trimming the log to its size limit: the shortest run of newest lines that reaches the limit.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "storage/JvLogFile.h"
#include "tests/unit/storage/log_test_support.h"

namespace dormivo {
namespace {

using logtest::Entries;
using logtest::Entry;
using logtest::kLog;

// A record whose line takes exactly `size` bytes (at least 9): "[t]" + three-digit number +
// ">" + filling + CR LF.
Entry RecordOfLineSize(int number, size_t size) {
  std::string title = std::to_string(1000 + number).substr(1);
  return Entry{"t", title, std::string(size - 9, 'x')};
}

std::string LineOf(const Entry& e) {
  return "[" + e.time + "]" + e.title + ">" + e.description + "\r\n";
}

class LogSizeLimit : public logtest::LogTest {};

TEST_F(LogSizeLimit, AddKeepsTheShortestRunOfNewestLinesThatReachesTheLimit) {
  struct Row {
    const char* name;
    std::vector<size_t> lineSizes;  // oldest first; the last is the one added
    uint32_t limit;
    size_t kept;
  };
  const std::vector<size_t> thirtyOne(31, 48);
  const Row rows[] = {
      {"31 lines of 48 bytes keep 21 (1008 bytes)", thirtyOne, 1000, 21},
      {"newest lines reach the limit exactly", {20, 20, 20, 20, 20}, 60, 3},
      {"all lines reach the limit exactly only with the oldest", {20, 20, 20}, 60, 3},
      {"all lines stay under the limit", {20, 20, 20}, 100, 3},
      {"the oldest line is needed to reach the limit", {30, 20, 20}, 50, 3},
      {"the line that crosses the limit is kept", {20, 20, 30, 20}, 45, 2},
      {"a single newest line over the limit stays alone", {20, 20, 1200}, 1000, 1},
      {"a single newest line of exactly the limit stays alone", {20, 20, 1000}, 1000, 1},
      {"limit of one byte", {20, 20, 20}, 1, 1},
      {"limit 0 never deletes", std::vector<size_t>(200, 48), 0, 200},
      {"limit of 2^31 bytes compares unsigned", {20, 20, 20}, 0x80000000u, 3},
      {"largest limit compares unsigned", {20, 20, 20}, 0xFFFFFFFFu, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs_.AddFile(kLog, "");
    std::vector<Entry> all;
    for (size_t i = 0; i < row.lineSizes.size(); ++i) {
      all.push_back(RecordOfLineSize(static_cast<int>(i), row.lineSizes[i]));
    }
    TJvLogFile log(fs_, clock_);
    log.SetFileName(kLog);  // the empty file: no records
    for (size_t i = 0; i + 1 < all.size(); ++i) {
      log.Add(all[i].time, all[i].title, all[i].description);
    }
    log.SetAutoSave(true);
    log.SetSizeLimit(row.limit);
    log.Add(all.back().time, all.back().title, all.back().description);

    const std::vector<Entry> expected(all.end() - static_cast<long>(row.kept), all.end());
    EXPECT_EQ(Entries(log.Records()), expected);
    std::string file;
    for (const Entry& e : expected) file += LineOf(e);
    EXPECT_EQ(fs_.Content(kLog), file);
    if (row.kept < all.size()) {
      // Trimmed: at least the limit, and less than the limit plus the first line kept.
      EXPECT_GE(file.size(), row.limit);
      EXPECT_LT(file.size(), row.limit + LineOf(expected.front()).size());
    }
    log.Close();
  }
}

TEST_F(LogSizeLimit, CountsTheDoubledSignsBracketsSeparatorAndLineBreak) {
  TJvLogFile log(fs_, clock_);
  log.Add("t", "a>b", "c");  // "[t]a>>b>c\r\n": 11 bytes
  log.Add("t", "d", "e");    // "[t]d>e\r\n": 8 bytes
  log.Add("t", "f", "g");    // 8 bytes
  log.SetSizeLimit(26);      // 8 + 8 = 16 < 26, + 11 = 27: reached only with the oldest
  log.ApplySizeLimit();
  EXPECT_EQ(log.Records().Count(), 3);
  log.SetSizeLimit(16);
  log.ApplySizeLimit();
  EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"t", "d", "e"}, {"t", "f", "g"}}));
}

TEST_F(LogSizeLimit, ApplySizeLimitSavesOnlyWhenALimitIsSet) {
  TJvLogFile log(fs_, clock_);
  log.SetFileName(kLog);
  log.SetAutoSave(true);
  log.Add("t", "a", "b");
  fs_.AddFile(kLog, "changed elsewhere");
  log.ApplySizeLimit();  // SizeLimit 0: returns at once
  EXPECT_EQ(fs_.Content(kLog), "changed elsewhere");
  log.SetSizeLimit(5000);
  log.ApplySizeLimit();  // nothing to delete, but the file is rewritten
  EXPECT_EQ(fs_.Content(kLog), "[t]a>b\r\n");
  EXPECT_TRUE(log.AutoSave());
  log.Close();
}

TEST_F(LogSizeLimit, SettingTheLimitOrActiveChangesNothingAtOnce) {
  TJvLogFile log(fs_, clock_);
  log.SetFileName(kLog);
  log.SetAutoSave(true);
  log.Add("t", "a", "b");
  log.Add("t", "c", "d");
  fs_.ClearCalls();
  log.SetSizeLimit(1);
  log.SetActive(false);
  log.SetActive(true);
  EXPECT_EQ(log.Records().Count(), 2);
  EXPECT_TRUE(fs_.Calls().empty());
  log.Close();
}

TEST_F(LogSizeLimit, TrimsALargeLoadedLogToItsNewestLines) {
  std::string text;
  std::vector<Entry> all;
  for (int i = 0; i < 5000; ++i) {
    all.push_back(
        Entry{"3/14/2026 9:05:07 PM", "Backup #" + std::to_string(100000 + i), "Power Off"});
    text += LineOf(all.back());  // 48 bytes each
  }
  fs_.AddFile(kLog, text);
  TJvLogFile log(fs_, clock_);
  log.SetFileName(kLog);
  ASSERT_EQ(log.Records().Count(), 5000);
  log.SetAutoSave(true);
  log.SetSizeLimit(1000);
  log.Add("3/14/2026 9:05:08 PM", "Backup #115000", "Power Off");
  all.push_back(Entry{"3/14/2026 9:05:08 PM", "Backup #115000", "Power Off"});
  const std::vector<Entry> expected(all.end() - 21, all.end());
  EXPECT_EQ(Entries(log.Records()), expected);
  std::string file;
  for (const Entry& e : expected) file += LineOf(e);
  EXPECT_EQ(fs_.Content(kLog), file);
  log.Close();
}

}  // namespace
}  // namespace dormivo
