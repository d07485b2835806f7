#include "tests/contract/file_system_contract.h"

#include <algorithm>
#include <vector>

#include "platform/win_constants.h"

namespace dormivo::contract {
namespace {

using platform::Handle;
using platform::kInvalidHandle;

constexpr uint32_t R = win::kGenericRead;
constexpr uint32_t W = win::kGenericWrite;
constexpr uint32_t RW = R | W;
constexpr uint32_t kShareRead = win::kFileShareRead;
constexpr uint32_t kShareWrite = win::kFileShareWrite;
constexpr uint32_t kShareBoth = kShareRead | kShareWrite;

TEST_P(FileSystemContract, ShareModesBetweenOpeners) {
  struct Row {
    const char* name;
    uint32_t firstAccess, firstShare, secondAccess, secondShare;
    bool secondOpens;
  };
  const Row rows[] = {
      {"two readers sharing reads", R, kShareRead, R, kShareRead, true},
      {"reader then exclusive reader", R, kShareRead, R, 0, false},
      {"exclusive holder blocks readers", R, 0, R, kShareBoth, false},
      {"writer sharing reads admits a reader", W, kShareRead, R, kShareBoth, true},
      {"writer blocks a reader that refuses writers", W, kShareBoth, R, kShareRead, false},
      {"reader blocks a writer", R, kShareRead, RW, kShareRead, false},
      {"reader sharing writes admits a writer", R, kShareBoth, W, kShareBoth, true},
      {"any holder blocks an exclusive writer", R, kShareBoth, RW, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Path("shared.dat");
    harness_->MakeFile(path, "x", win::kFileAttributeArchive);
    const Handle first = fs().CreateFileA(path, row.firstAccess, row.firstShare, win::kOpenExisting,
                                          win::kFileAttributeNormal);
    ASSERT_NE(first, kInvalidHandle);
    const Handle second = fs().CreateFileA(path, row.secondAccess, row.secondShare,
                                           win::kOpenExisting, win::kFileAttributeNormal);
    EXPECT_EQ(second != kInvalidHandle, row.secondOpens);
    if (second == kInvalidHandle) {
      EXPECT_EQ(fs().GetLastError(), win::kErrorSharingViolation);
    } else {
      fs().CloseHandle(second);
    }
    fs().CloseHandle(first);
  }
}

TEST_P(FileSystemContract, OpenFailuresGiveTheirErrorCodes) {
  harness_->MakeFolder(Path("folder"));
  struct Row {
    const char* name;
    std::string path;
    uint32_t disposition;
    uint32_t error;
  };
  const Row rows[] = {
      {"missing file", Path("missing.dat"), win::kOpenExisting, win::kErrorFileNotFound},
      {"missing folder", Path("nowhere\\x.dat"), win::kCreateAlways, win::kErrorPathNotFound},
      {"a folder", Path("folder"), win::kOpenExisting, win::kErrorAccessDenied},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(fs().CreateFileA(row.path, R, kShareRead, row.disposition, 0x80), kInvalidHandle);
    EXPECT_EQ(fs().GetLastError(), row.error);
  }
}

TEST_P(FileSystemContract, CreateAlwaysTruncatesAndReadsGiveTheContent) {
  const std::string path = Path("data.dat");
  harness_->MakeFile(path, "old content that is longer", win::kFileAttributeArchive);
  Handle file = fs().CreateFileA(path, RW, 0, win::kCreateAlways, win::kFileAttributeNormal);
  ASSERT_NE(file, kInvalidHandle);
  uint32_t done = 0;
  ASSERT_TRUE(fs().WriteFile(file, "new", 3, &done));
  EXPECT_EQ(done, 3u);
  fs().CloseHandle(file);

  file = fs().CreateFileA(path, R, kShareRead, win::kOpenExisting, win::kFileAttributeNormal);
  ASSERT_NE(file, kInvalidHandle);
  uint64_t size = 0;
  ASSERT_TRUE(fs().GetFileSizeEx(file, &size));
  EXPECT_EQ(size, 3u);
  char buffer[16] = {};
  ASSERT_TRUE(fs().ReadFile(file, buffer, sizeof buffer, &done));
  EXPECT_EQ(std::string(buffer, done), "new");
  ASSERT_TRUE(fs().ReadFile(file, buffer, sizeof buffer, &done));
  EXPECT_EQ(done, 0u);  // at the end
  fs().CloseHandle(file);
}

TEST_P(FileSystemContract, FolderSearchListsEveryEntryWithAttributes) {
  harness_->MakeFile(Path("plain.txt"), "a", win::kFileAttributeArchive);
  harness_->MakeFile(Path(".hidden"), "b", win::kFileAttributeHidden);
  harness_->MakeFile(Path("noext"), "c", win::kFileAttributeArchive);
  harness_->MakeFolder(Path("sub"));
  std::vector<std::string> names;
  platform::FindData data;
  const Handle search = fs().FindFirstFileA(Path("*.*"), &data);
  ASSERT_NE(search, kInvalidHandle);
  do {
    names.push_back(data.name);
    const bool isFolder = (data.attributes & win::kFileAttributeDirectory) != 0;
    if (data.name == "sub" || data.name == "plain.txt") {
      EXPECT_EQ(isFolder, data.name == "sub") << data.name;
    }
  } while (fs().FindNextFileA(search, &data));
  EXPECT_EQ(fs().GetLastError(), win::kErrorNoMoreFiles);
  EXPECT_TRUE(fs().FindClose(search));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", ".hidden", "noext", "plain.txt", "sub"}));
}

TEST_P(FileSystemContract, SearchForAPlainPathFindsThatEntryOnly) {
  harness_->MakeFile(Path("Settings.dat"), "", win::kFileAttributeArchive);
  platform::FindData data;
  const Handle search = fs().FindFirstFileA(Path("Settings.dat"), &data);
  ASSERT_NE(search, kInvalidHandle);
  EXPECT_EQ(data.name, "Settings.dat");
  fs().FindClose(search);
  EXPECT_EQ(fs().FindFirstFileA(Path("Other.dat"), &data), kInvalidHandle);
  EXPECT_EQ(fs().FindFirstFileA(Path("nowhere\\*.*"), &data), kInvalidHandle);
  EXPECT_EQ(fs().GetLastError(), win::kErrorPathNotFound);
}

TEST_P(FileSystemContract, SearchReportsTheSizeAndLastWriteTimeOfAFile) {
  // 2000-01-01 as a file time: any file made today is later.
  constexpr uint64_t kYear2000 = 125911584000000000;
  harness_->MakeFile(Path("Log.dat"), "abc", win::kFileAttributeArchive);
  platform::FindData first;
  Handle search = fs().FindFirstFileA(Path("Log.dat"), &first);
  ASSERT_NE(search, kInvalidHandle);
  fs().FindClose(search);
  EXPECT_EQ(first.size, 3u);
  EXPECT_GT(first.lastWriteTime, kYear2000);

  // Rewritten as the log saves: a new file beside it, moved over it.
  const Handle file = fs().CreateFileA(Path("Log.dat.tmp"), W, 0, win::kCreateAlways, 0x80);
  ASSERT_NE(file, kInvalidHandle);
  uint32_t done = 0;
  ASSERT_TRUE(fs().WriteFile(file, "abcdefgh", 8, &done));
  ASSERT_TRUE(fs().CloseHandle(file));
  ASSERT_TRUE(
      fs().MoveFileExA(Path("Log.dat.tmp"), Path("Log.dat"), win::kMovefileReplaceExisting));
  platform::FindData second;
  search = fs().FindFirstFileA(Path("Log.dat"), &second);
  ASSERT_NE(search, kInvalidHandle);
  fs().FindClose(search);
  EXPECT_EQ(second.size, 8u);
  EXPECT_GE(second.lastWriteTime, first.lastWriteTime);
}

TEST_P(FileSystemContract, DeletionRules) {
  harness_->MakeFile(Path("open.dat"), "x", win::kFileAttributeArchive);
  harness_->MakeFolder(Path("full"));
  harness_->MakeFile(Path("full\\inner.dat"), "x", win::kFileAttributeArchive);
  harness_->MakeFolder(Path("empty"));

  const Handle open = fs().CreateFileA(Path("open.dat"), R, kShareRead, win::kOpenExisting, 0x80);
  ASSERT_NE(open, kInvalidHandle);
  EXPECT_FALSE(fs().DeleteFileA(Path("open.dat")));
  EXPECT_EQ(fs().GetLastError(), win::kErrorSharingViolation);
  fs().CloseHandle(open);
  EXPECT_TRUE(fs().DeleteFileA(Path("open.dat")));
  EXPECT_FALSE(fs().DeleteFileA(Path("open.dat")));
  EXPECT_EQ(fs().GetLastError(), win::kErrorFileNotFound);

  EXPECT_FALSE(fs().RemoveDirectoryA(Path("full")));
  EXPECT_EQ(fs().GetLastError(), win::kErrorDirNotEmpty);
  EXPECT_TRUE(fs().RemoveDirectoryA(Path("empty")));
}

TEST_P(FileSystemContract, MoveReplacesAClosedFileButNotAnOpenOne) {
  harness_->MakeFile(Path("new.tmp"), "new", win::kFileAttributeArchive);
  harness_->MakeFile(Path("log.dat"), "old", win::kFileAttributeArchive);
  const Handle held = fs().CreateFileA(Path("log.dat"), R, kShareRead, win::kOpenExisting, 0x80);
  ASSERT_NE(held, kInvalidHandle);
  EXPECT_FALSE(fs().MoveFileExA(Path("new.tmp"), Path("log.dat"), win::kMovefileReplaceExisting));
  fs().CloseHandle(held);
  EXPECT_FALSE(fs().MoveFileExA(Path("new.tmp"), Path("log.dat"), 0));
  EXPECT_EQ(fs().GetLastError(), win::kErrorAlreadyExists);
  ASSERT_TRUE(fs().MoveFileExA(Path("new.tmp"), Path("log.dat"), win::kMovefileReplaceExisting));

  const Handle file = fs().CreateFileA(Path("log.dat"), R, kShareRead, win::kOpenExisting, 0x80);
  ASSERT_NE(file, kInvalidHandle);
  char buffer[8] = {};
  uint32_t done = 0;
  ASSERT_TRUE(fs().ReadFile(file, buffer, sizeof buffer, &done));
  EXPECT_EQ(std::string(buffer, done), "new");
  fs().CloseHandle(file);
  platform::FindData data;
  EXPECT_EQ(fs().FindFirstFileA(Path("new.tmp"), &data), kInvalidHandle);
}

TEST_P(FileSystemContract, FullPathOfAnAbsolutePathIsThePath) {
  EXPECT_EQ(fs().GetFullPathNameA(Path("Log.dat")), Path("Log.dat"));
}

TEST_P(FileSystemContract, SystemTextForACommonCodeEndsWithALineBreak) {
  const std::string text = fs().FormatMessageA(win::kErrorAccessDenied);
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

}  // namespace
}  // namespace dormivo::contract
