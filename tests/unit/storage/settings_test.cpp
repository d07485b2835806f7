#include <gtest/gtest.h>

#include <string>

#include "platform/exception.h"
#include "platform/win_constants.h"
#include "storage/uIniOption.h"
#include "tests/fakes/fake_file_system.h"

namespace dormivo {
namespace {

using fakes::FakeFileSystem;

const char kFolder[] = "C:\\Dormivo\\";
const char kPath[] = "C:\\Dormivo\\Settings.dat";

ExecutorSettings Defaults() {
  ExecutorSettings s;
  s.Notify = true;
  s.NotifyTimer = 10;
  s.Force = true;
  return s;
}

bool Same(const ExecutorSettings& a, const ExecutorSettings& b) {
  return a.Notify == b.Notify && a.NotifyTimer == b.NotifyTimer && a.PlaySound == b.PlaySound &&
         a.SoundFileName == b.SoundFileName && a.Recycle == b.Recycle && a.DocList == b.DocList &&
         a.TempFolder == b.TempFolder && a.Cookies == b.Cookies && a.History == b.History &&
         a.Cache == b.Cache && a.Force == b.Force;
}

class SettingsFile : public ::testing::Test {
 protected:
  SettingsFile() { fs_.AddFolder(kFolder); }

  ExecutorSettings Load(const std::string& content) {
    fs_.AddFile(kPath, content);
    return LoadOnly();
  }
  ExecutorSettings LoadOnly() {
    ExecutorSettings settings;
    LoadSettings(kFolder, settings, fs_, ascii_);
    return settings;
  }

  FakeFileSystem fs_;
  platform::AsciiText ascii_;
};

TEST_F(SettingsFile, MissingFileGivesEveryDefault) {
  const ExecutorSettings s = LoadOnly();
  EXPECT_TRUE(s.Notify);
  EXPECT_EQ(s.NotifyTimer, 10);
  EXPECT_FALSE(s.PlaySound);
  EXPECT_EQ(s.SoundFileName, "");
  EXPECT_FALSE(s.Recycle || s.Cache || s.Cookies || s.History || s.DocList || s.TempFolder);
  EXPECT_TRUE(s.Force);
  EXPECT_TRUE(fs_.CallsOf("CreateFileA").empty());
}

TEST_F(SettingsFile, ClosesTheFileOnceWhenAnExceptionPassesTheRead) {
  fs_.AddFile(kPath, "[Settings]\r\nNotifyTimer=30\r\n");
  fs_.Throw(FakeFileSystem::Op::ReadFile);
  EXPECT_THROW(LoadOnly(), fakes::InjectedException);
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
  EXPECT_EQ(fs_.CallsOf("CloseHandle").size(), 1u);
}

TEST_F(SettingsFile, AFolderNamedLikeTheFileGivesTheDefaults) {
  fs_.AddFolder(kPath);
  EXPECT_TRUE(Same(LoadOnly(), Defaults()));
  EXPECT_TRUE(fs_.CallsOf("CreateFileA").empty());
}

TEST_F(SettingsFile, OpensForReadingWithReadSharingAndClosesAgain) {
  Load("[Settings]\r\nNotifyTimer=30\r\n");
  EXPECT_EQ(
      fs_.CallsOf("CreateFileA"),
      (std::vector<std::string>{"CreateFileA(" + std::string(kPath) + ",0x80000000,1,3,0x80)"}));
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(SettingsFile, EntriesAndLayoutVariants) {
  struct Row {
    const char* name;
    std::string text;
    int32_t notifyTimer;
    bool cache;
  };
  const Row rows[] = {
      {"plain CR LF", "[Settings]\r\nNotifyTimer=30\r\nCache=1\r\n", 30, true},
      {"LF only", "[Settings]\nNotifyTimer=30\nCache=1", 30, true},
      {"CR only", "[Settings]\rNotifyTimer=30\rCache=1\r", 30, true},
      {"names in other case", "[settings]\r\nNOTIFYTIMER=30\r\ncache=1\r\n", 30, true},
      {"blanks and tabs around", " \t[ Settings ]\t\r\n \tNotifyTimer \t= \t30\t \r\n Cache = 1 ",
       30, true},
      {"control bytes are trimmed", "\x01[Settings]\x7\nNotifyTimer=30\x1F\n", 30, false},
      {"last entry wins", "[Settings]\nNotifyTimer=5\nNotifyTimer=20\n", 20, false},
      {"last section wins, no merging",
       "[Settings]\nNotifyTimer=5\nCache=1\n[Other]\nNotifyTimer=7\n[Settings]\nPlaySound=1\n", 10,
       false},
      {"keys above the first header", "NotifyTimer=30\n[Settings]\nCache=1\n", 10, true},
      {"keys under another section", "[Other]\nNotifyTimer=30\n", 10, false},
      {"header with a trailing comment is no header", "[Settings] ; main\nNotifyTimer=30\n", 10,
       false},
      {"comment line", "[Settings]\n;NotifyTimer=30\n", 10, false},
      {"hash is part of the key", "[Settings]\n#NotifyTimer=30\n", 10, false},
      {"keyless line is kept but matches nothing", "[Settings]\nNotifyTimer\nCache=1\n", 10, true},
      {"UTF-8 mark hides the header", "\xEF\xBB\xBF[Settings]\nNotifyTimer=30\n", 10, false},
      {"UTF-16 text ends at its first zero byte", std::string("\xFF\xFE[\0S\0e\0t\0", 10) + "\0\0",
       10, false},
      {"zero byte ends the text", std::string("[Settings]\nCache=1\nNotify\0Timer=30\n", 33), 10,
       true},
      {"zero byte in the middle of a value",
       std::string("[Settings]\nNotifyTimer=3\0"
                   "0\n",
                   26),
       3, false},
      {"empty file", "", 10, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ExecutorSettings s = Load(row.text);
    EXPECT_EQ(s.NotifyTimer, row.notifyTimer);
    EXPECT_EQ(s.Cache, row.cache);
  }
}

TEST_F(SettingsFile, IntegerValues) {
  struct Row {
    std::string value;
    int32_t expected;
  };
  const Row rows[] = {
      {"30", 30},
      {"0x1E", 30},
      {"0X1E", 30},
      {"$1e", 30},
      {"x1E", 30},
      {"X1e", 30},
      {"-0x10", -16},
      {"010", 10},
      {"+7", 7},
      {"0", 0},
      {"-5", -5},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$FFFFFFFF", -1},
      {"$00000000FF", 255},
      {"", 10},
      {"30s", 10},
      {"1.5", 10},
      {"0x", 10},
      {"$", 10},
      {"+", 10},
      {"-", 10},
      {"2147483648", 10},
      {"-2147483649", 10},
      {"$100000000", 10},
      {"3 0", 10},
      {"30 ; seconds", 10},
      {"\"30\"", 10},
      {"++1", 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("NotifyTimer=" + row.value);
    EXPECT_EQ(Load("[Settings]\nNotifyTimer=" + row.value + "\n").NotifyTimer, row.expected);
  }
}

TEST_F(SettingsFile, BooleanValues) {
  struct Row {
    const char* line;
    bool force, playSound, notify;
  };
  const Row rows[] = {
      {"Force=0", false, false, true},     {"Force=False", true, false, true},
      {"Force=no", true, false, true},     {"PlaySound=True", true, false, true},
      {"PlaySound=2", true, true, true},   {"PlaySound=-1", true, true, true},
      {"PlaySound=0x1", true, true, true}, {"PlaySound=$0", true, false, true},
      {"Notify=", true, false, true},      {"Notify=0", true, false, false},
      {"Notify=On", true, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    const ExecutorSettings s = Load(std::string("[Settings]\n") + row.line + "\n");
    EXPECT_EQ(s.Force, row.force);
    EXPECT_EQ(s.PlaySound, row.playSound);
    EXPECT_EQ(s.Notify, row.notify);
  }
}

TEST_F(SettingsFile, EveryKeyReachesItsField) {
  const ExecutorSettings s = Load(
      "[Settings]\nNotify=0\nNotifyTimer=45\nPlaySound=1\nSoundFileName=C:\\Media\\ding.wav\n"
      "Recycle=1\nCache=1\nCookies=1\nHistory=1\nDocList=1\nTempFolder=1\nForce=0\n");
  EXPECT_FALSE(s.Notify);
  EXPECT_EQ(s.NotifyTimer, 45);
  EXPECT_TRUE(s.PlaySound);
  EXPECT_EQ(s.SoundFileName, "C:\\Media\\ding.wav");
  EXPECT_TRUE(s.Recycle && s.Cache && s.Cookies && s.History && s.DocList && s.TempFolder);
  EXPECT_FALSE(s.Force);
}

TEST_F(SettingsFile, StringValuesAreTakenLiterally) {
  struct Row {
    const char* line;
    const char* expected;
  };
  const Row rows[] = {
      {"SoundFileName=\"C:\\a b.wav\"", "\"C:\\a b.wav\""}, {"SoundFileName=a=b=c", "a=b=c"},
      {"SoundFileName=  x.wav ; note", "x.wav ; note"},     {"SoundFileName=", ""},
      {"SoundFileName=\xE9t\xE9.wav", "\xE9t\xE9.wav"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(Load(std::string("[Settings]\n") + row.line + "\n").SoundFileName, row.expected);
  }
}

TEST_F(SettingsFile, FileHeldOpenForWritingRaisesTheOpenError) {
  fs_.AddFile(kPath, "[Settings]\nNotifyTimer=30\n");
  const platform::Handle other = fs_.CreateFileA(
      kPath, win::kGenericWrite, win::kFileShareRead | win::kFileShareWrite, win::kOpenExisting, 0);
  ASSERT_NE(other, platform::kInvalidHandle);
  ExecutorSettings settings;
  try {
    LoadSettings(kFolder, settings, fs_, ascii_);
    FAIL() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot open file \"C:\\Dormivo\\Settings.dat\". The process cannot access the "
                 "file because it is being used by another process");
  }
  EXPECT_TRUE(Same(settings, ExecutorSettings{}));
}

TEST_F(SettingsFile, OpenErrorsNameThePathAndTheSystemText) {
  struct Row {
    const char* name;
    uint32_t error;
    const char* expected;
  };
  fs_.AddFile(kPath, "[Settings]\n");
  const Row rows[] = {
      {"access denied", win::kErrorAccessDenied,
       "Cannot open file \"C:\\Dormivo\\Settings.dat\". Access is denied"},
      {"unknown code gives an empty text", 0xDEAD,
       "Cannot open file \"C:\\Dormivo\\Settings.dat\". "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs_.Fail(FakeFileSystem::Op::CreateFile, row.error);
    ExecutorSettings settings;
    try {
      LoadSettings(kFolder, settings, fs_, ascii_);
      ADD_FAILURE() << "no error raised";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), row.expected);
    }
    EXPECT_TRUE(Same(settings, ExecutorSettings{}));
  }
}

TEST_F(SettingsFile, ReadFailureAfterOpenRaisesAndClosesTheFile) {
  fs_.AddFile(kPath, "[Settings]\nNotifyTimer=30\n");
  fs_.Fail(FakeFileSystem::Op::ReadFile, win::kErrorReadFault);
  ExecutorSettings settings;
  EXPECT_THROW(LoadSettings(kFolder, settings, fs_, ascii_), Exception);
  EXPECT_TRUE(Same(settings, ExecutorSettings{}));
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(SettingsFile, PartialReadsAreCompleted) {
  fs_.SetReadChunk(3);
  EXPECT_EQ(Load("[Settings]\nNotifyTimer=30\n").NotifyTimer, 30);
}

TEST(SysErrorText, TrailingBlanksControlsAndDotsAreRemoved) {
  // Covered through the open error: the fake's texts end in ".\r\n".
  FakeFileSystem fs;
  fs.AddFile("C:\\a\\Settings.dat", "");
  fs.Fail(FakeFileSystem::Op::CreateFile, win::kErrorFileNotFound);
  ExecutorSettings settings;
  platform::AsciiText ascii;
  try {
    LoadSettings("C:\\a\\", settings, fs, ascii);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot open file \"C:\\a\\Settings.dat\". The system cannot find the file "
                 "specified");
  }
}

}  // namespace
}  // namespace dormivo
