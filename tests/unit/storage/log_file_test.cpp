// The log component: its properties, the executor's sequence, the errors, and a save that never
// loses the earlier file.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/forwarding_file_system.h"
#include "platform/win_constants.h"
#include "storage/JvLogFile.h"
#include "tests/support/error_of.h"
#include "tests/unit/storage/log_test_support.h"

namespace dormivo {
namespace {

using fakes::FakeFileSystem;
using logtest::Entries;
using logtest::Entry;
using logtest::kLog;
using logtest::kTemp;
using testsupport::ErrorOf;

const char kOld[] = "[1/1/2026 8:00:00 AM]Earlier>Restart\r\n";
const char kStamp[] = "3/14/2026 9:05:07 PM";

class LogFile : public logtest::LogTest {
 protected:
  // The executor's use up to its entry: name, AutoSave, Active, limit, Add.
  void RunExecutorSteps(TJvLogFile& log, const std::string& title = "Nightly backup") {
    log.SetFileName(kLog);
    log.SetAutoSave(true);
    log.SetActive(true);
    log.SetSizeLimit(1000);
    log.Add(title, "Power Off");
  }
};

TEST_F(LogFile, StartsEmptyActiveWithoutAutoSaveLimitOrName) {
  TJvLogFile log(fs_, clock_);
  EXPECT_EQ(log.FileName(), "");
  EXPECT_TRUE(log.Active());
  EXPECT_FALSE(log.AutoSave());
  EXPECT_EQ(log.SizeLimit(), 0u);
  EXPECT_EQ(log.Records().Count(), 0);
}

TEST_F(LogFile, ExecutorSequenceCreatesTheLogWithOneStampedLine) {
  {
    TJvLogFile log(fs_, clock_);
    RunExecutorSteps(log);
    EXPECT_EQ(fs_.CallsOf("CreateFileA").front(),
              "CreateFileA(C:\\Dormivo\\Log.dat,0xC0000000,0,4,0x80)");
    log.Close();
  }
  EXPECT_EQ(fs_.Content(kLog), "[3/14/2026 9:05:07 PM]Nightly backup>Power Off\r\n");
  EXPECT_FALSE(fs_.Exists(kTemp));
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(LogFile, LoadAndSaveCloseEveryFileOnceWhenAnExceptionPasses) {
  using Op = FakeFileSystem::Op;
  struct Row {
    const char* name;
    bool save;  // Save, or else Load
    Op throwing;
    int skip;
    size_t opened;  // files open when the exception came
  };
  const Row rows[] = {
      {"load, reading", false, Op::ReadFile, 0, 1},
      {"load, the file size", false, Op::GetFileSize, 0, 1},
      {"save, opening the new file", true, Op::CreateFile, 1, 1},
      {"save, writing the new file", true, Op::WriteFile, 0, 2},
      {"save, flushing the new file", true, Op::FlushFileBuffers, 0, 2},
      {"save, replacing the log", true, Op::MoveFileEx, 0, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem fs;
    fs.AddFile(kLog, kOld);
    TJvLogFile log(fs, clock_);
    if (row.save)
      log.Add("Nightly backup", "Power Off");
    fs.ClearCalls();
    fs.Throw(row.throwing, row.skip);
    if (row.save)
      EXPECT_THROW(log.Save(kLog), fakes::InjectedException);
    else
      EXPECT_THROW(log.Load(kLog), fakes::InjectedException);
    EXPECT_EQ(fs.OpenHandleCount(), 0u);
    EXPECT_EQ(fs.CallsOf("CloseHandle").size(), row.opened);
  }
}

TEST_F(LogFile, ExecutorSequenceAppendsToTheEarlierLog) {
  fs_.AddFile(kLog, kOld);
  TJvLogFile log(fs_, clock_);
  RunExecutorSteps(log, "Build > Deploy");
  log.Close();
  EXPECT_EQ(fs_.Content(kLog),
            std::string(kOld) + "[3/14/2026 9:05:07 PM]Build >> Deploy>Power Off\r\n");
}

TEST_F(LogFile, AutoSaveTakesOnlyWithAFileName) {
  TJvLogFile log(fs_, clock_);
  log.SetAutoSave(true);
  EXPECT_FALSE(log.AutoSave());
  log.Add("t", "a", "b");
  log.Clear();
  log.Add("t", "c", "d");
  log.Delete(0);
  EXPECT_TRUE(fs_.CallsOf("CreateFileA").empty());
  // Name first, then AutoSave: it takes; switching it off always works.
  log.SetFileName(kLog);
  log.SetAutoSave(true);
  EXPECT_TRUE(log.AutoSave());
  log.SetAutoSave(false);
  EXPECT_FALSE(log.AutoSave());
}

TEST_F(LogFile, InactiveLogIgnoresAddButClearsDeletesAndLoads) {
  fs_.AddFile(kLog, "[a]1>x\r\n[b]2>y\r\n[c]3>z\r\n");
  TJvLogFile log(fs_, clock_);
  log.SetFileName(kLog);
  log.SetAutoSave(true);
  log.SetActive(false);
  fs_.ClearCalls();
  log.Add("title", "description");
  log.Add("t", "title", "description");
  EXPECT_EQ(log.Records().Count(), 3);
  EXPECT_TRUE(fs_.CallsOf("CreateFileA").empty());

  log.Delete(1);
  EXPECT_EQ(fs_.Content(kLog), "[a]1>x\r\n[c]3>z\r\n");
  fs_.AddFile("C:\\Dormivo\\Other.dat", "[d]4>w\r\n");
  log.Load("C:\\Dormivo\\Other.dat");
  EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"d", "4", "w"}}));
  log.Clear();
  EXPECT_EQ(log.Records().Count(), 0);
  EXPECT_EQ(fs_.Content(kLog), "");
  log.Close();
}

TEST_F(LogFile, FileNameOfAMissingFileKeepsTheRecordsForTheNextSave) {
  TJvLogFile log(fs_, clock_);
  log.Add("t", "a", "b");
  log.SetFileName("C:\\Dormivo\\New.dat");
  EXPECT_EQ(log.FileName(), "C:\\Dormivo\\New.dat");
  EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"t", "a", "b"}}));
  EXPECT_TRUE(fs_.CallsOf("CreateFileA").empty());
  log.SetAutoSave(true);
  log.Add("u", "c", "d");
  EXPECT_EQ(fs_.Content("C:\\Dormivo\\New.dat"), "[t]a>b\r\n[u]c>d\r\n");
  log.Close();
}

TEST_F(LogFile, FileNameOfAnExistingFileReplacesTheRecords) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  TJvLogFile log(fs_, clock_);
  log.Add("t", "a", "b");
  log.SetFileName(kLog);
  EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"a", "1", "x"}}));
  EXPECT_EQ(fs_.Content(kLog), "[a]1>x\r\n");  // loading writes nothing
}

TEST_F(LogFile, FileNameOfAFolderLoadsNothing) {
  fs_.AddFolder("C:\\Dormivo\\Log.dat");
  TJvLogFile log(fs_, clock_);
  log.Add("t", "a", "b");
  log.SetFileName(kLog);
  EXPECT_EQ(log.Records().Count(), 1);
  EXPECT_TRUE(fs_.CallsOf("CreateFileA").empty());
}

TEST_F(LogFile, LoadThatCannotOpenRaisesAndChangesNothing) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  struct Row {
    const char* name;
    uint32_t access, share;
    const char* systemText;
  };
  const Row rows[] = {
      {"held open for writing, sharing everything", win::kGenericWrite,
       win::kFileShareRead | win::kFileShareWrite,
       "The process cannot access the file because it is being used by another process"},
      {"held open for reading without read sharing", win::kGenericRead, 0,
       "The process cannot access the file because it is being used by another process"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const platform::Handle other =
        fs_.CreateFileA(kLog, row.access, row.share, win::kOpenExisting, win::kFileAttributeNormal);
    ASSERT_NE(other, platform::kInvalidHandle);
    TJvLogFile log(fs_, clock_);
    log.Add("t", "mine", "kept");
    EXPECT_EQ(ErrorOf([&] { log.SetFileName(kLog); }),
              std::string("Cannot open file \"C:\\Dormivo\\Log.dat\". ") + row.systemText);
    EXPECT_EQ(log.FileName(), kLog);
    EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"t", "mine", "kept"}}));
    fs_.CloseHandle(other);
  }
}

TEST_F(LogFile, LoadSharesReadingWithOtherReaders) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  const platform::Handle reader = fs_.CreateFileA(kLog, win::kGenericRead, win::kFileShareRead,
                                                  win::kOpenExisting, win::kFileAttributeNormal);
  ASSERT_NE(reader, platform::kInvalidHandle);
  TJvLogFile log(fs_, clock_);
  log.SetFileName(kLog);
  EXPECT_EQ(log.Records().Count(), 1);
  fs_.CloseHandle(reader);
}

TEST_F(LogFile, LoadExpandsARelativeNameInItsError) {
  fs_.SetCurrentDirectory(logtest::kFolder);
  fs_.AddFile(kLog, "[a]1>x\r\n");
  fs_.DenyAccess(kLog);
  TJvLogFile log(fs_, clock_);
  EXPECT_EQ(ErrorOf([&] { log.Load("Log.dat"); }),
            "Cannot open file \"C:\\Dormivo\\Log.dat\". Access is denied");
}

TEST_F(LogFile, LoadThatFailsToReadKeepsTheRecords) {
  fs_.AddFile(kLog, "[a]1>x\r\n");
  fs_.Fail(FakeFileSystem::Op::ReadFile, win::kErrorReadFault);
  TJvLogFile log(fs_, clock_);
  log.Add("t", "mine", "kept");
  EXPECT_EQ(ErrorOf([&] { log.Load(kLog); }), "Stream read error");
  EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"t", "mine", "kept"}}));
  EXPECT_EQ(fs_.OpenHandleCount(), 0u);
}

TEST_F(LogFile, DeleteOutOfRangeRaisesAndChangesNothing) {
  fs_.AddFile(kLog, "[a]1>x\r\n[b]2>y\r\n");
  TJvLogFile log(fs_, clock_);
  log.SetFileName(kLog);
  log.SetAutoSave(true);
  fs_.ClearCalls();
  for (const int index : {-1, 2, 3, -2147483647 - 1}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(ErrorOf([&] { log.Delete(index); }),
              "List index out of bounds (" + std::to_string(index) + ")");
    EXPECT_EQ(log.Records().Count(), 2);
  }
  EXPECT_TRUE(fs_.Calls().empty());
  log.Delete(0);
  EXPECT_EQ(fs_.Content(kLog), "[b]2>y\r\n");
  log.Close();
}

TEST_F(LogFile, SaveToAnEmptyPathDoesNothing) {
  TJvLogFile log(fs_, clock_);
  log.Add("t", "a", "b");
  log.Save("");
  EXPECT_TRUE(fs_.Calls().empty());
}

TEST_F(LogFile, SaveThatCannotCreateRaisesWithTheFullPathAndKeepsEverything) {
  struct Row {
    const char* name;
    std::function<void(FakeFileSystem&)> arrange;
    std::string path;
    std::string error;
  };
  const std::string inUse =
      "The process cannot access the file because it is being used by another process";
  const Row rows[] = {
      {"folder missing", [](FakeFileSystem&) {}, "C:\\Missing\\Log.dat",
       "Cannot create file \"C:\\Missing\\Log.dat\". The system cannot find the path specified"},
      {"relative name expanded", [](FakeFileSystem&) {}, "Missing\\Log.dat",
       "Cannot create file \"C:\\Dormivo\\Missing\\Log.dat\". The system cannot find the path "
       "specified"},
      {"access denied", [](FakeFileSystem& fs) { fs.DenyAccess(kLog); }, kLog,
       "Cannot create file \"C:\\Dormivo\\Log.dat\". Access is denied"},
      {"read-only file",
       [](FakeFileSystem& fs) { fs.SetAttributes(kLog, win::kFileAttributeReadonly); }, kLog,
       "Cannot create file \"C:\\Dormivo\\Log.dat\". Access is denied"},
      {"held open for reading by another process, sharing everything",
       [](FakeFileSystem& fs) {
         fs.CreateFileA(kLog, win::kGenericRead, 7, win::kOpenExisting, 0x80);
       },
       kLog, "Cannot create file \"C:\\Dormivo\\Log.dat\". " + inUse},
      {"held open for writing by another process",
       [](FakeFileSystem& fs) {
         fs.CreateFileA(kLog, win::kGenericWrite, win::kFileShareRead, win::kOpenExisting, 0x80);
       },
       kLog, "Cannot create file \"C:\\Dormivo\\Log.dat\". " + inUse},
      {"the file beside it cannot be made", [](FakeFileSystem& fs) { fs.AddFolder(kTemp); }, kLog,
       "Cannot create file \"C:\\Dormivo\\Log.dat.tmp\". Access is denied"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem fs;
    fs.SetCurrentDirectory(logtest::kFolder);
    fs.AddFile(kLog, kOld);
    row.arrange(fs);
    TJvLogFile log(fs, clock_);
    log.Add("t", "a", "b");
    EXPECT_EQ(ErrorOf([&] { log.Save(row.path); }), row.error);
    EXPECT_EQ(fs.Content(kLog), kOld);
    EXPECT_EQ(Entries(log.Records()), (std::vector<Entry>{{"t", "a", "b"}}));
    EXPECT_TRUE(fs.CallsOf("MoveFileExA").empty());
  }
}

TEST_F(LogFile, SaveThatFailsPartWayKeepsTheEarlierFileAndLeavesNothingBeside) {
  struct Row {
    const char* name;
    std::function<void(FakeFileSystem&)> arrange;
    std::string error;
    bool leavesNothingBeside = true;
  };
  const Row rows[] = {
      {"disk full before the first byte",
       [](FakeFileSystem& fs) { fs.SetCapacity(sizeof kOld - 1); }, "Stream write error"},
      {"disk full one byte short",
       [](FakeFileSystem& fs) { fs.SetCapacity(sizeof kOld - 1 + 2 * 48 - 1); },
       "Stream write error"},
      {"write fails", [](FakeFileSystem& fs) { fs.Fail(FakeFileSystem::Op::WriteFile, 29); },
       "Stream write error"},
      {"flush fails", [](FakeFileSystem& fs) { fs.Fail(FakeFileSystem::Op::FlushFileBuffers, 29); },
       "Stream write error"},
      {"closing the new file fails",
       [](FakeFileSystem& fs) { fs.Fail(FakeFileSystem::Op::CloseHandle, 29); },
       "Stream write error", /*leavesNothingBeside=*/false},  // the fake keeps it open
      {"replacing the log fails",
       [](FakeFileSystem& fs) { fs.Fail(FakeFileSystem::Op::MoveFileEx, win::kErrorAccessDenied); },
       "Cannot create file \"C:\\Dormivo\\Log.dat\". Access is denied"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem fs;
    fs.AddFile(kLog, kOld);
    TJvLogFile log(fs, clock_);
    log.Add(kStamp, "Nightly backup", "Power Off");  // 48-byte lines
    log.Add(kStamp, "Nightly backup", "Power Off");
    row.arrange(fs);
    EXPECT_EQ(ErrorOf([&] { log.Save(kLog); }), row.error);
    EXPECT_EQ(fs.Content(kLog), kOld);
    EXPECT_EQ(fs.Exists(kTemp), !row.leavesNothingBeside);
    EXPECT_EQ(log.Records().Count(), 2);
  }
}

TEST_F(LogFile, SaveWithJustEnoughRoomForBothFilesSucceeds) {
  fs_.AddFile(kLog, kOld);
  fs_.SetCapacity(sizeof kOld - 1 + 2 * 48);
  TJvLogFile log(fs_, clock_);
  log.Add(kStamp, "Nightly backup", "Power Off");
  log.Add(kStamp, "Nightly backup", "Power Off");
  log.Save(kLog);
  EXPECT_EQ(fs_.Content(kLog)->size(), 96u);
}

// A file system whose process is killed after a number of calls: from then on no call has any
// effect, as if the process were gone, and the files stay as the last effective call left them.
class KilledFileSystem final : public platform::ForwardingFileSystem {
 public:
  KilledFileSystem(FakeFileSystem& files, int callsBeforeKill)
      : ForwardingFileSystem(files), files_(files), left_(callsBeforeKill) {}
  int CallsMade() const { return made_; }

  // What the system does when the process is gone: close every handle it left open.
  void ReleaseHandles() {
    for (const platform::Handle handle : open_) files_.CloseHandle(handle);
    open_.clear();
  }

  platform::Handle CreateFileA(const std::string& path, uint32_t access, uint32_t share,
                               uint32_t disposition, uint32_t flags) override {
    if (!Alive())
      return platform::kInvalidHandle;
    const platform::Handle handle = files_.CreateFileA(path, access, share, disposition, flags);
    if (handle != platform::kInvalidHandle)
      open_.push_back(handle);
    return handle;
  }
  bool ReadFile(platform::Handle file, void* buffer, uint32_t size, uint32_t* done) override {
    *done = 0;
    return Alive() && files_.ReadFile(file, buffer, size, done);
  }
  bool WriteFile(platform::Handle file, const void* buffer, uint32_t size,
                 uint32_t* done) override {
    *done = 0;
    return Alive() && files_.WriteFile(file, buffer, size, done);
  }
  bool GetFileSizeEx(platform::Handle file, uint64_t* size) override {
    *size = 0;
    return Alive() && files_.GetFileSizeEx(file, size);
  }
  bool FlushFileBuffers(platform::Handle file) override {
    return Alive() && files_.FlushFileBuffers(file);
  }
  bool CloseHandle(platform::Handle handle) override {
    if (!Alive() || !files_.CloseHandle(handle))
      return false;
    open_.erase(std::remove(open_.begin(), open_.end(), handle), open_.end());
    return true;
  }
  platform::Handle FindFirstFileA(const std::string& pattern, platform::FindData* data) override {
    return Alive() ? files_.FindFirstFileA(pattern, data) : platform::kInvalidHandle;
  }
  bool FindNextFileA(platform::Handle search, platform::FindData* data) override {
    return Alive() && files_.FindNextFileA(search, data);
  }
  bool FindClose(platform::Handle search) override { return Alive() && files_.FindClose(search); }
  bool DeleteFileA(const std::string& path) override { return Alive() && files_.DeleteFileA(path); }
  bool RemoveDirectoryA(const std::string& path) override {
    return Alive() && files_.RemoveDirectoryA(path);
  }
  bool MoveFileExA(const std::string& from, const std::string& to, uint32_t flags) override {
    return Alive() && files_.MoveFileExA(from, to, flags);
  }
  std::string GetFullPathNameA(const std::string& path) override { return path; }

 private:
  bool Alive() {
    ++made_;
    return left_-- > 0;
  }
  FakeFileSystem& files_;
  int left_;
  int made_ = 0;
  std::vector<platform::Handle> open_;
};

TEST_F(LogFile, AProcessKilledAtAnyStepOfTheSaveLeavesTheOldOrTheNewLog) {
  const std::string fresh =
      std::string(kOld) + "[3/14/2026 9:05:07 PM]Nightly backup>Power Off\r\n";
  const auto saveThrough = [&](KilledFileSystem& fs) {
    TJvLogFile log(fs, clock_);
    log.Add("1/1/2026 8:00:00 AM", "Earlier", "Restart");
    log.Add(kStamp, "Nightly backup", "Power Off");
    try {
      log.Save(kLog);
    } catch (const Exception&) {
    }
  };
  // How many file calls one whole save makes.
  int total = 0;
  {
    FakeFileSystem files;
    files.AddFile(kLog, kOld);
    KilledFileSystem fs(files, 1 << 30);
    saveThrough(fs);
    total = fs.CallsMade();
    ASSERT_EQ(files.Content(kLog), fresh);
  }
  ASSERT_GE(total, 7);
  for (int kill = 0; kill <= total; ++kill) {
    SCOPED_TRACE("killed after " + std::to_string(kill) + " calls of the save");
    FakeFileSystem files;
    files.AddFile(kLog, kOld);
    KilledFileSystem dying(files, kill);
    saveThrough(dying);
    dying.ReleaseHandles();
    const std::string content = files.Content(kLog).value_or("<missing>");
    EXPECT_EQ(content, kill < total ? kOld : fresh);
    // The next run, by a process that lives, saves over whatever the killed one left beside.
    TJvLogFile next(files, clock_);
    next.SetFileName(kLog);
    next.SetAutoSave(true);
    next.Add(kStamp, "Next", "Restart");
    next.Close();
    EXPECT_EQ(files.Content(kLog), content + "[3/14/2026 9:05:07 PM]Next>Restart\r\n");
    EXPECT_FALSE(files.Exists(kTemp));
    EXPECT_EQ(files.OpenHandleCount(), 0u);
  }
}

// A file system that, while the new content is being written, lets "another process" try to
// open the log in every way.
class PeekingFileSystem final : public platform::ForwardingFileSystem {
 public:
  explicit PeekingFileSystem(FakeFileSystem& files) : ForwardingFileSystem(files), files_(files) {}
  std::vector<std::string> outcomes;

  bool WriteFile(platform::Handle file, const void* buffer, uint32_t size,
                 uint32_t* done) override {
    struct Try {
      uint32_t access, share;
    };
    for (const Try t : {Try{win::kGenericRead, 7}, Try{win::kGenericWrite, 7},
                        Try{win::kGenericRead | win::kGenericWrite, 7}}) {
      const platform::Handle other =
          files_.CreateFileA(kLog, t.access, t.share, win::kOpenExisting, 0x80);
      outcomes.push_back(other == platform::kInvalidHandle
                             ? "refused " + std::to_string(files_.GetLastError())
                             : "opened");
      if (other != platform::kInvalidHandle)
        files_.CloseHandle(other);
    }
    return files_.WriteFile(file, buffer, size, done);
  }

 private:
  FakeFileSystem& files_;
};

TEST_F(LogFile, NoOtherProcessCanOpenTheLogWhileItIsWritten) {
  fs_.AddFile(kLog, kOld);
  PeekingFileSystem fs(fs_);
  TJvLogFile log(fs, clock_);
  log.Add(kStamp, "Nightly backup", "Power Off");
  log.Save(kLog);
  EXPECT_EQ(fs.outcomes, (std::vector<std::string>{"refused 32", "refused 32", "refused 32"}));
  EXPECT_EQ(fs_.Content(kLog), "[3/14/2026 9:05:07 PM]Nightly backup>Power Off\r\n");
}

TEST_F(LogFile, CloseSavesAndRaisesAndTheDestructorThenSavesNoMore) {
  fs_.AddFile(kLog, kOld);
  {
    TJvLogFile log(fs_, clock_);
    RunExecutorSteps(log);
    const platform::Handle other =
        fs_.CreateFileA(kLog, win::kGenericRead, 7, win::kOpenExisting, 0x80);
    EXPECT_EQ(ErrorOf([&] { log.Close(); }),
              "Cannot create file \"C:\\Dormivo\\Log.dat\". The process cannot access the file "
              "because it is being used by another process");
    fs_.CloseHandle(other);
    fs_.ClearCalls();
  }
  EXPECT_TRUE(fs_.Calls().empty());
}

TEST_F(LogFile, DestructorSavesWhenCloseWasNotCalled) {
  {
    TJvLogFile log(fs_, clock_);
    log.Add(kStamp, "a", "b");
    log.SetFileName(kLog);
    log.SetAutoSave(true);
  }
  EXPECT_EQ(fs_.Content(kLog), "[3/14/2026 9:05:07 PM]a>b\r\n");
}

TEST_F(LogFile, DestructorSwallowsAFailedSave) {
  fs_.AddFile(kLog, kOld);
  const platform::Handle other =
      fs_.CreateFileA(kLog, win::kGenericRead, 7, win::kOpenExisting, 0x80);
  bool finished = false;
  {
    TJvLogFile log(fs_, clock_);
    log.SetFileName("C:\\Dormivo\\Other.dat");
    log.SetAutoSave(true);
    log.Add(kStamp, "a", "b");
    log.SetFileName(kLog);  // held open for reading: loads, but cannot be saved
    finished = true;
  }
  EXPECT_TRUE(finished);
  EXPECT_EQ(fs_.Content(kLog), kOld);
  fs_.CloseHandle(other);
}

TEST_F(LogFile, WithoutAutoSaveNeitherCloseNorTheDestructorSave) {
  {
    TJvLogFile log(fs_, clock_);
    log.SetFileName(kLog);
    log.Add(kStamp, "a", "b");
    log.Close();
  }
  {
    TJvLogFile log(fs_, clock_);
    log.SetFileName(kLog);
    log.Add(kStamp, "a", "b");
  }
  EXPECT_FALSE(fs_.Exists(kLog));
}

}  // namespace
}  // namespace dormivo
