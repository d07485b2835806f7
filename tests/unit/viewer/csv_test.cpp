// The CSV of the log: quoting, formula starts, the bytes as stored, and a writer that never
// leaves a partial file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win_constants.h"
#include "storage/JvLogFile.h"
#include "tests/fakes/fake_file_system.h"
#include "viewer/csv.h"

namespace dormivo::viewer {
namespace {

using fakes::FakeFileSystem;

constexpr char kHeader[] = "\"Date-Time\",\"Event\",\"Command / Description\"\r\n";
constexpr char kCsv[] = "C:\\Reports\\Log.csv";

TEST(CsvField, QuotesDoublesInnerQuotesAndDefusesFormulaStarts) {
  struct Row {
    const char* name;
    std::string field;
    std::string quoted;
  };
  const Row rows[] = {
      {"plain", "Nightly backup", "\"Nightly backup\""},
      {"empty", "", "\"\""},
      {"comma", "Power Off, forced", "\"Power Off, forced\""},
      {"one quote", "say \"hi\"", "\"say \"\"hi\"\"\""},
      {"only quotes", "\"\"", "\"\"\"\"\"\""},
      {"equals first", "=SUM(A1:A9)", "\"'=SUM(A1:A9)\""},
      {"plus first", "+1", "\"'+1\""},
      {"minus first", "-c", "\"'-c\""},
      {"at first", "@cmd", "\"'@cmd\""},
      {"tab first", "\tindented", "\"'\tindented\""},
      {"quote then equals", "\"=1\"", "\"\"\"=1\"\"\""},
      {"formula sign later", "a=b+c-d@e", "\"a=b+c-d@e\""},
      {"blank then equals", " =1", "\" =1\""},
      {"apostrophe first", "'quoted", "\"'quoted\""},
      {"bytes above 127",
       "Sch\xE9"
       "ma \xFC\x80\xFF",
       "\"Sch\xE9"
       "ma \xFC\x80\xFF\""},
      {"semicolon and CR LF", "a;b\r\nc", "\"a;b\r\nc\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out = "x";
    AppendCsvField(out, row.field);
    EXPECT_EQ(out, "x" + row.quoted);
  }
}

TEST(CsvText, HeaderThenOneRowPerEntryInFileOrderEachEndingWithCrLf) {
  const TJvLogRecordList records = TJvLogRecordList::FromText(
      "[3/14/2026 9:05:07 PM]Build >> Deploy>Restart\r\n"
      "[3/15/2026]Line without separator\r\n"
      "[]>\r\n"
      "[1/2/2026 1:00:00 AM]=HYPERLINK(\"x\")>-c, \"now\"\r\n");
  EXPECT_EQ(CsvText(records), std::string(kHeader) +
                                  "\"3/14/2026 9:05:07 PM\",\"Build > Deploy\",\"Restart\"\r\n"
                                  "\"3/15/2026\",\"Line without separator\",\"\"\r\n"
                                  "\"\",\"\",\"\"\r\n"
                                  "\"1/2/2026 1:00:00 AM\",\"'=HYPERLINK(\"\"x\"\")\","
                                  "\"'-c, \"\"now\"\"\"\r\n");
}

TEST(CsvText, AnEmptyLogIsTheHeaderAloneWithoutByteOrderMark) {
  const std::string text = CsvText(TJvLogRecordList{});
  EXPECT_EQ(text, kHeader);
  EXPECT_EQ(text.front(), '"');
}

class CsvFile : public ::testing::Test {
 protected:
  CsvFile() { fs_.AddFolder("C:\\Reports"); }
  TJvLogRecordList Records() {
    return TJvLogRecordList::FromText("[t1]first>a\r\n[t2]second>b\r\n");
  }
  FakeFileSystem fs_;
};

TEST_F(CsvFile, WritesTheBytesBesideAndMovesThemIntoPlace) {
  fs_.AddFile(kCsv, "earlier export");
  const WriteResult result = WriteCsvFile(fs_, kCsv, Records());
  EXPECT_TRUE(result.ok) << result.message;
  EXPECT_EQ(fs_.Content(kCsv), std::string(kHeader) +
                                   "\"t1\",\"first\",\"a\"\r\n"
                                   "\"t2\",\"second\",\"b\"\r\n");
  EXPECT_EQ(fs_.CallsOf("CreateFileA"),
            std::vector<std::string>{"CreateFileA(C:\\Reports\\Log.csv.tmp,0x40000000,0,1,0x80)"});
  EXPECT_EQ(
      fs_.CallsOf("MoveFileExA"),
      std::vector<std::string>{"MoveFileExA(C:\\Reports\\Log.csv.tmp,C:\\Reports\\Log.csv,9)"});
  EXPECT_EQ(fs_.Paths(), (std::vector<std::string>{"C:\\Reports", kCsv}));
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(CsvFile, WritesALargeLogInPiecesThatMakeUpTheWholeText) {
  TJvLogRecordList records;
  for (int i = 0; i < 40000; ++i)
    records.Add(std::to_string(i), "Task \"" + std::to_string(i) + "\"", "-Power Off");
  ASSERT_TRUE(WriteCsvFile(fs_, kCsv, records).ok);
  EXPECT_EQ(fs_.Content(kCsv), CsvText(records));
  EXPECT_GT(fs_.CallsOf("WriteFile").size(), 1u);
  EXPECT_GT(fs_.Content(kCsv)->size(), size_t{1} << 20);
}

TEST_F(CsvFile, LeavesAnotherFileOfTheTemporaryNameAlone) {
  fs_.AddFile("C:\\Reports\\Log.csv.tmp", "someone else's");
  EXPECT_TRUE(WriteCsvFile(fs_, kCsv, Records()).ok);
  EXPECT_EQ(fs_.Content("C:\\Reports\\Log.csv.tmp"), "someone else's");
  EXPECT_FALSE(fs_.Exists("C:\\Reports\\Log.csv.1.tmp"));
  EXPECT_EQ(fs_.Content(kCsv)->substr(0, sizeof kHeader - 1), kHeader);
}

TEST_F(CsvFile, AFailureLeavesTheEarlierFileAndNothingBesideIt) {
  struct Row {
    const char* name;
    FakeFileSystem::Op op;
    uint32_t error;
    std::string text;
  };
  const Row rows[] = {
      {"create", FakeFileSystem::Op::CreateFile, win::kErrorAccessDenied, "Access is denied"},
      {"write", FakeFileSystem::Op::WriteFile, win::kErrorDiskFull,
       "There is not enough space on the disk"},
      {"flush", FakeFileSystem::Op::FlushFileBuffers, win::kErrorWriteFault, ""},
      {"move", FakeFileSystem::Op::MoveFileEx, win::kErrorSharingViolation,
       "The process cannot access the file because it is being used by another process"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem fs;
    fs.AddFile(kCsv, "earlier export");
    fs.Fail(row.op, row.error);
    const WriteResult result = WriteCsvFile(fs, kCsv, Records());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, row.error);
    EXPECT_EQ(result.message, "Cannot create file \"C:\\Reports\\Log.csv\". " + row.text);
    EXPECT_EQ(fs.Content(kCsv), "earlier export");
    EXPECT_EQ(fs.Paths(), (std::vector<std::string>{"C:\\Reports", kCsv}));
  }
}

TEST_F(CsvFile, ADiskThatRunsFullLeavesNoPartialFile) {
  fs_.SetCapacity(40);
  const WriteResult result = WriteCsvFile(fs_, kCsv, Records());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, win::kErrorDiskFull);
  EXPECT_EQ(fs_.Paths(), (std::vector<std::string>{"C:\\Reports"}));
}

TEST_F(CsvFile, AMissingFolderNamesTheFileAndTheSystemText) {
  const WriteResult result = WriteCsvFile(fs_, "C:\\Nowhere\\Log.csv", Records());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message,
            "Cannot create file \"C:\\Nowhere\\Log.csv\". The system cannot find the path "
            "specified");
}

}  // namespace
}  // namespace dormivo::viewer
