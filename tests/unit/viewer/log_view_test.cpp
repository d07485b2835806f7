// LogView.exe without its window: the command line, and the export with its exit codes, which
// writes the whole CSV or nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win_constants.h"
#include "tests/fakes/fake_file_system.h"
#include "viewer/log_view.h"

namespace dormivo::viewer {
namespace {

using fakes::FakeFileSystem;

constexpr char kProgram[] = "C:\\App\\LogView.exe";
constexpr char kBesideLog[] = "C:\\App\\Log.dat";
constexpr char kCsv[] = "C:\\Out\\Log.csv";
constexpr char kHeader[] = "\"Date-Time\",\"Event\",\"Command / Description\"\r\n";

TEST(LogViewArgs, ParsesTheFourFormsAndNamesWhatIsWrong) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    bool ok;
    std::string logPath, csvPath;
    bool exportCsv;
    std::string error;
  };
  const Row rows[] = {
      {"nothing", {}, true, "", "", false, ""},
      {"a log", {"D:\\Logs\\Log.dat"}, true, "D:\\Logs\\Log.dat", "", false, ""},
      {"export beside", {"/csv", "out.csv"}, true, "", "out.csv", true, ""},
      {"export of a log", {"x.dat", "/csv", "out.csv"}, true, "x.dat", "out.csv", true, ""},
      {"switch in any case, with a dash",
       {"x.dat", "-CSV", "o.csv"},
       true,
       "x.dat",
       "o.csv",
       true,
       ""},
      {"csv without file",
       {"/csv"},
       false,
       "",
       "",
       false,
       "/csv needs the name of the CSV file to write."},
      {"log and csv without file",
       {"x.dat", "/csv"},
       false,
       "",
       "",
       false,
       "/csv needs the name of the CSV file to write."},
      {"empty csv name",
       {"/csv", ""},
       false,
       "",
       "",
       false,
       "/csv needs the name of the CSV file to write."},
      {"csv twice", {"/csv", "/csv"}, false, "", "", false, "/csv is given twice."},
      {"unknown switch",
       {"/print"},
       false,
       "",
       "",
       false,
       "Unknown option \"/print\"; the only option is /csv <file>."},
      {"two logs",
       {"a.dat", "b.dat"},
       false,
       "",
       "",
       false,
       "Unexpected argument \"b.dat\"; the command line is [<log file>] [/csv <CSV file>]."},
      {"one too many",
       {"a.dat", "/csv", "o.csv", "more"},
       false,
       "",
       "",
       false,
       "Unexpected argument \"more\"; the command line is [<log file>] [/csv <CSV file>]."},
      {"empty log name", {""}, false, "", "", false, "The name of the log file is empty."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ParsedArgs parsed = ParseLogViewArgs(row.args);
    EXPECT_EQ(parsed.ok, row.ok);
    EXPECT_EQ(parsed.error, row.error);
    if (row.ok) {
      EXPECT_EQ(parsed.args.logPath, row.logPath);
      EXPECT_EQ(parsed.args.exportCsv, row.exportCsv);
      EXPECT_EQ(parsed.args.csvPath, row.csvPath);
    }
  }
}

TEST(LogViewFolder, IsThePartUpToTheLastSeparator) {
  EXPECT_EQ(FolderOf("C:\\App\\LogView.exe"), "C:\\App\\");
  EXPECT_EQ(FolderOf("C:LogView.exe"), "C:");
  EXPECT_EQ(FolderOf("LogView.exe"), "");
}

class LogView : public ::testing::Test {
 protected:
  LogView() {
    fs_.AddFolder("C:\\App");
    fs_.AddFolder("C:\\Out");
    hooks_.showWindow = [this](const std::string& path) {
      windows_.push_back(path);
      return 0;
    };
    hooks_.reportError = [this](const std::string& text) { errors_.push_back(text); };
  }
  int Run(const std::vector<std::string>& args) { return RunLogView(fs_, kProgram, args, hooks_); }

  FakeFileSystem fs_;
  LogViewHooks hooks_;
  std::vector<std::string> windows_;
  std::vector<std::string> errors_;
};

TEST_F(LogView, WithoutExportShowsTheWindowForTheLogBesideItOrTheOneNamed) {
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(Run({"D:\\Other.dat"}), 0);
  EXPECT_EQ(windows_, (std::vector<std::string>{kBesideLog, "D:\\Other.dat"}));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(LogView, ExportsTheLogBesideItWithoutAWindow) {
  fs_.AddFile(kBesideLog, "[t]Build >> Deploy>=cmd\r\n[u]plain\r\n");
  EXPECT_EQ(Run({"/csv", kCsv}), kExitOk);
  EXPECT_EQ(fs_.Content(kCsv), std::string(kHeader) +
                                   "\"t\",\"Build > Deploy\",\"'=cmd\"\r\n"
                                   "\"u\",\"plain\",\"\"\r\n");
  EXPECT_TRUE(windows_.empty());
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
  // The log is only read.
  EXPECT_EQ(fs_.Content(kBesideLog), "[t]Build >> Deploy>=cmd\r\n[u]plain\r\n");
}

TEST_F(LogView, ExportsANamedLogAndAMissingOneAsTheHeaderAlone) {
  fs_.AddFile("C:\\Out\\Other.dat", "[a]b>c\r\n");
  EXPECT_EQ(Run({"C:\\Out\\Other.dat", "/csv", kCsv}), kExitOk);
  EXPECT_EQ(fs_.Content(kCsv), std::string(kHeader) + "\"a\",\"b\",\"c\"\r\n");
  EXPECT_EQ(Run({"/csv", kCsv}), kExitOk);
  EXPECT_EQ(fs_.Content(kCsv), kHeader);
  EXPECT_TRUE(windows_.empty());
}

TEST_F(LogView, ALogThatCannotBeReadFailsWithoutWritingAnything) {
  fs_.AddFile(kBesideLog, "[a]b>c\r\n");
  fs_.AddFile(kCsv, "earlier");
  const platform::Handle holder = fs_.CreateFileA(kBesideLog, win::kGenericWrite, 0,
                                                  win::kOpenExisting, win::kFileAttributeNormal);
  ASSERT_NE(holder, platform::kInvalidHandle);
  EXPECT_EQ(Run({"/csv", kCsv}), kExitFailed);
  EXPECT_EQ(fs_.Content(kCsv), "earlier");
  EXPECT_EQ(fs_.Paths(), (std::vector<std::string>{"C:\\App", kBesideLog, "C:\\Out", kCsv}));
  EXPECT_EQ(errors_, std::vector<std::string>{
                         "Cannot open file \"C:\\App\\Log.dat\". The process cannot access the "
                         "file because it is being used by another process"});
  EXPECT_TRUE(windows_.empty());
  fs_.CloseHandle(holder);
}

TEST_F(LogView, ACsvThatCannotBeWrittenFailsAndLeavesNothingPartial) {
  struct Row {
    const char* name;
    std::string csvPath;
    FakeFileSystem::Op op;
    uint32_t error;
  };
  const Row rows[] = {
      {"missing folder (no fault)", "C:\\Nowhere\\Log.csv", FakeFileSystem::Op::WriteFile, 0},
      {"disk full", kCsv, FakeFileSystem::Op::WriteFile, win::kErrorDiskFull},
      {"replacing refused", kCsv, FakeFileSystem::Op::MoveFileEx, win::kErrorAccessDenied},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem fs;
    fs.AddFile(kBesideLog, "[a]b>c\r\n");
    fs.AddFile(kCsv, "earlier");
    if (row.error != 0)
      fs.Fail(row.op, row.error);
    const std::vector<std::string> before = fs.Paths();
    std::vector<std::string> errors;
    LogViewHooks hooks;
    hooks.reportError = [&errors](const std::string& text) { errors.push_back(text); };
    EXPECT_EQ(RunLogView(fs, kProgram, {"/csv", row.csvPath}, hooks), kExitFailed);
    EXPECT_EQ(fs.Paths(), before);
    EXPECT_EQ(fs.Content(kCsv), "earlier");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Cannot create file \"" + row.csvPath + "\". ", 0), 0u) << errors[0];
  }
}

TEST_F(LogView, ABadCommandLineShowsNoWindowAndWritesNothing) {
  fs_.AddFile(kBesideLog, "[a]b>c\r\n");
  EXPECT_EQ(Run({"/csv"}), kExitUsage);
  EXPECT_EQ(Run({"a.dat", "b.dat"}), kExitUsage);
  EXPECT_TRUE(windows_.empty());
  EXPECT_EQ(errors_.size(), 2u);
  EXPECT_EQ(fs_.Paths(), (std::vector<std::string>{"C:\\App", kBesideLog, "C:\\Out"}));
}

TEST_F(LogView, ExportCsvGivesTheReasonToItsCaller) {
  std::string error = "untouched";
  EXPECT_EQ(ExportCsv(fs_, kBesideLog, kCsv, &error), kExitOk);
  EXPECT_EQ(error, "untouched");
  EXPECT_EQ(ExportCsv(fs_, kBesideLog, "C:\\Nowhere\\x.csv", &error), kExitFailed);
  EXPECT_EQ(error,
            "Cannot create file \"C:\\Nowhere\\x.csv\". The system cannot find the path "
            "specified");
}

}  // namespace
}  // namespace dormivo::viewer
