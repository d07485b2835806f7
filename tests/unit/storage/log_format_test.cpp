// The bytes of Log.dat: how records are written, and how lenient reading takes them back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/JvLogFile.h"
#include "tests/unit/storage/log_test_support.h"

namespace dormivo {
namespace {

using logtest::Entries;
using logtest::Entry;
using logtest::kLog;

class LogFormat : public logtest::LogTest {
 protected:
  std::vector<Entry> LoadText(const std::string& text) {
    fs_.AddFile(kLog, text);
    TJvLogFile log(fs_, clock_);
    log.Load(kLog);
    return Entries(log.Records());
  }
  // Loads the text and saves it again; the bytes of the saved file.
  std::string Resave(const std::string& text) {
    fs_.AddFile(kLog, text);
    TJvLogFile log(fs_, clock_);
    log.Load(kLog);
    log.Save(kLog);
    return fs_.Content(kLog).value_or("<missing>");
  }
};

TEST_F(LogFormat, WritesTheExampleLineInFortySevenBytes) {
  TJvLogFile log(fs_, clock_);
  log.Add("3/14/2026 9:05:07 PM", "Build > Deploy", "Restart");
  log.Save(kLog);
  const std::string expected = "[3/14/2026 9:05:07 PM]Build >> Deploy>Restart\r\n";
  EXPECT_EQ(fs_.Content(kLog), expected);
  EXPECT_EQ(expected.size(), 47u);
}

TEST_F(LogFormat, EveryLineEndsWithCrLfOldestFirstAndAnEmptyLogIsAnEmptyFile) {
  TJvLogFile log(fs_, clock_);
  log.Save(kLog);
  EXPECT_EQ(fs_.Content(kLog), "");
  log.Add("t1", "first", "a");
  log.Add("t2", "second", "b");
  log.Add("t3", "third", "c");
  log.Save(kLog);
  EXPECT_EQ(fs_.Content(kLog), "[t1]first>a\r\n[t2]second>b\r\n[t3]third>c\r\n");
}

TEST_F(LogFormat, TitlesDoubleTheirGreaterSignsAndReadBackUnchanged) {
  struct Row {
    const char* name;
    std::string title, description, line;
  };
  const Row rows[] = {
      {"title with one sign", "Build > Deploy", "Restart", "[t]Build >> Deploy>Restart\r\n"},
      {"title of one sign", ">", "Power Off", "[t]>>>Power Off\r\n"},
      {"title of two signs", ">>", "x", "[t]>>>>>x\r\n"},
      {"title ending in a sign", "a>", "b", "[t]a>>>b\r\n"},
      {"empty title", "", "Standby", "[t]>Standby\r\n"},
      {"empty description", "Nightly", "", "[t]Nightly>\r\n"},
      {"description with signs and brackets kept as they are", "x", "a>b [c] ]d[",
       "[t]x>a>b [c] ]d[\r\n"},
      {"brackets in the title", "[a] b]", "c", "[t][a] b]>c\r\n"},
      {"bytes of the code page", "\xC4rger \xFC>", "\xE9t\xE9", "[t]\xC4rger \xFC>>>\xE9t\xE9\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    {
      TJvLogFile log(fs_, clock_);
      log.Add("t", row.title, row.description);
      log.Save(kLog);
      EXPECT_EQ(fs_.Content(kLog), row.line);
    }
    TJvLogFile back(fs_, clock_);
    back.Load(kLog);
    EXPECT_EQ(Entries(back.Records()), (std::vector<Entry>{{"t", row.title, row.description}}));
  }
}

TEST_F(LogFormat, ReadingRules) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<Entry> records;
    std::string saved;  // the canonical form written back
  };
  const Row rows[] = {
      {"CR LF", "[a]b>c\r\n[d]e>f\r\n", {{"a", "b", "c"}, {"d", "e", "f"}}, "[a]b>c\r\n[d]e>f\r\n"},
      {"LF only", "[a]b>c\n[d]e>f\n", {{"a", "b", "c"}, {"d", "e", "f"}}, "[a]b>c\r\n[d]e>f\r\n"},
      {"CR only", "[a]b>c\r[d]e>f\r", {{"a", "b", "c"}, {"d", "e", "f"}}, "[a]b>c\r\n[d]e>f\r\n"},
      {"LF then CR is an empty line between",
       "[a]b>c\n\r[d]e>f",
       {{"a", "b", "c"}, {"d", "e", "f"}},
       "[a]b>c\r\n[d]e>f\r\n"},
      {"last line without a break",
       "[a]b>c\r\n[d]e>f",
       {{"a", "b", "c"}, {"d", "e", "f"}},
       "[a]b>c\r\n[d]e>f\r\n"},
      {"empty file", "", {}, ""},
      {"only breaks", "\r\n\n\r\r\n", {}, ""},
      {"NUL byte ends the text",
       std::string("[a]b>c\r\n[d]e\0>f\r\n[g]h>i\r\n", 25),
       {{"a", "b", "c"}, {"d", "e", ""}},
       "[a]b>c\r\n[d]e>\r\n"},
      {"NUL byte first", std::string("\0[a]b>c\r\n", 9), {}, ""},
      {"text before the bracket is dropped", "junk [a]b>c\r\n", {{"a", "b", "c"}}, "[a]b>c\r\n"},
      {"closing bracket before the opening one", "x]y[a]b>c", {{"a", "b", "c"}}, "[a]b>c\r\n"},
      {"line without an opening bracket", "a]b>c\r\n[d]e>f", {{"d", "e", "f"}}, "[d]e>f\r\n"},
      {"missing closing bracket", "[a b>c\r\n[d]e>f", {{"d", "e", "f"}}, "[d]e>f\r\n"},
      {"opening bracket inside the time", "[[a]b>c", {{"[a", "b", "c"}}, "[[a]b>c\r\n"},
      {"closing brackets after the first stay in the title",
       "[a]]b]>c",
       {{"a", "]b]", "c"}},
       "[a]]b]>c\r\n"},
      {"empty time", "[]b>c", {{"", "b", "c"}}, "[]b>c\r\n"},
      {"line with no separator", "[t]abc\r\n", {{"t", "abc", ""}}, "[t]abc>\r\n"},
      {"separator as the last character", "[t]abc>", {{"t", "abc", ""}}, "[t]abc>\r\n"},
      {"doubled signs are undoubled once", "[t]a>>>>b>c", {{"t", "a>>b", "c"}}, "[t]a>>>>b>c\r\n"},
      {"odd run of signs ends the title at its last sign",
       "[t]a>>>b",
       {{"t", "a>", "b"}},
       "[t]a>>>b\r\n"},
      {"description keeps single signs", "[t]x>y>z>>w", {{"t", "x", "y>z>>w"}}, "[t]x>y>z>>w\r\n"},
      {"description that began with a sign runs into the title",
       "[t]Task>>Power Off",
       {{"t", "Task>Power Off", ""}},
       "[t]Task>>Power Off>\r\n"},
      {"description that began with a sign, up to its next single sign",
       "[t]T>>a>b",
       {{"t", "T>a", "b"}},
       "[t]T>>a>b\r\n"},
      {"empty title", "[t]>d", {{"t", "", "d"}}, "[t]>d\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(LoadText(row.text), row.records);
    EXPECT_EQ(Resave(row.text), row.saved);
  }
}

TEST_F(LogFormat, LineBreaksInsideTextsAreWrittenUnchangedAndSplitTheLineOnReading) {
  TJvLogFile log(fs_, clock_);
  log.Add("t", "one\r\ntwo", "x\ny [u]v>w");
  log.Save(kLog);
  EXPECT_EQ(fs_.Content(kLog), "[t]one\r\ntwo>x\ny [u]v>w\r\n");
  log.Load(kLog);
  EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"t", "one", ""}, {"u", "v", "w"}}));
}

TEST_F(LogFormat, LoadReplacesTheRecordsWithoutSavingOrTrimming) {
  fs_.AddFile(kLog, "[a]1>x\r\n[b]2>y\r\n[c]3>z\r\n");
  TJvLogFile log(fs_, clock_);
  log.Add("old", "gone", "soon");
  log.SetSizeLimit(1);
  log.SetFileName("C:\\Dormivo\\Other.dat");
  log.SetAutoSave(true);
  fs_.ClearCalls();
  log.Load(kLog);
  EXPECT_EQ(Entries(log.Records()),
            (std::vector<Entry>{{"a", "1", "x"}, {"b", "2", "y"}, {"c", "3", "z"}}));
  EXPECT_TRUE(log.AutoSave());
  EXPECT_EQ(fs_.CallsOf("CreateFileA"),
            (std::vector<std::string>{"CreateFileA(C:\\Dormivo\\Log.dat,0x80000000,1,3,0x80)"}));
  EXPECT_FALSE(fs_.Exists("C:\\Dormivo\\Other.dat"));
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(LogFormat, LoadPutsAutoSaveBackThroughItsSetter) {
  // AutoSave took while a file name was set; with the name emptied since, the setter refuses it.
  TJvLogFile log(fs_, clock_);
  log.SetFileName(kLog);
  log.SetAutoSave(true);
  log.SetFileName("");
  ASSERT_TRUE(log.AutoSave());
  fs_.AddFile(kLog, "[a]b>c\r\n");
  log.Load(kLog);
  EXPECT_FALSE(log.AutoSave());
}

}  // namespace
}  // namespace dormivo
