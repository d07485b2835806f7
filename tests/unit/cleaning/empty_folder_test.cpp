// EmptyFolder: the depth-first walk that empties a folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/uFunction.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_file_system.h"

namespace dormivo {
namespace {

using fakes::FakeFileSystem;

constexpr uint32_t kArchive = win::kFileAttributeArchive;

TEST(EmptyFolder, DeletesAllButDotNamesAndWhatCannotGoAndKeepsTheFolder) {
  FakeFileSystem fs;
  fs.AddFile("C:\\R\\a.txt");
  fs.AddFile("C:\\R\\hidden.txt", "", win::kFileAttributeHidden | kArchive);
  fs.AddFile("C:\\R\\system.dat", "", win::kFileAttributeSystem);
  fs.AddFile("C:\\R\\.keep");
  fs.AddFile("C:\\R\\.config\\settings.txt");
  fs.AddFile("C:\\R\\sub\\deep\\f.txt");
  fs.AddFolder("C:\\R\\sub\\empty");
  fs.AddFolder("C:\\R\\hiddendir", win::kFileAttributeDirectory | win::kFileAttributeHidden);
  fs.AddFile("C:\\R\\hiddendir\\x.txt");
  fs.AddFile("C:\\R\\ro\\inner\\locked.txt", "", win::kFileAttributeReadonly);
  fs.AddFile("C:\\R\\ro\\inner\\other.txt");
  fs.AddFile("C:\\R\\ro\\gone\\g.txt");
  fs.AddFile("C:\\Other\\keep.txt");

  EmptyFolder(fs, "C:\\R");

  const std::vector<std::string> expected = {
      "C:\\Other",
      "C:\\Other\\keep.txt",
      "C:\\R",
      "C:\\R\\.config",
      "C:\\R\\.config\\settings.txt",
      "C:\\R\\.keep",
      "C:\\R\\ro",
      "C:\\R\\ro\\inner",
      "C:\\R\\ro\\inner\\locked.txt",
  };
  EXPECT_EQ(fs.Paths(), expected);
  EXPECT_EQ(fs.OpenHandleCount(), 0u);
  // The walk searched every folder it emptied with "*.*", and nothing else.
  const std::vector<std::string> searches = {
      "FindFirstFileA(C:\\R\\*.*)",
      "FindFirstFileA(C:\\R\\hiddendir\\*.*)",
      "FindFirstFileA(C:\\R\\ro\\*.*)",
      "FindFirstFileA(C:\\R\\ro\\gone\\*.*)",
      "FindFirstFileA(C:\\R\\ro\\inner\\*.*)",
      "FindFirstFileA(C:\\R\\sub\\*.*)",
      "FindFirstFileA(C:\\R\\sub\\deep\\*.*)",
      "FindFirstFileA(C:\\R\\sub\\empty\\*.*)",
  };
  EXPECT_EQ(fs.CallsOf("FindFirstFileA"), searches);
  EXPECT_EQ(fs.CallsOf("FindClose").size(), searches.size());
}

TEST(EmptyFolder, DeletesEntriesWithoutTheDirectoryAttributeAsFiles) {
  struct Row {
    const char* name;
    uint32_t attributes;
  };
  const Row rows[] = {
      {"normal", win::kFileAttributeNormal},
      {"compressed", win::kFileAttributeCompressed},
      {"not content indexed", win::kFileAttributeNotContentIndexed},
      {"archive and compressed", kArchive | win::kFileAttributeCompressed},
      {"hidden and system", win::kFileAttributeHidden | win::kFileAttributeSystem},
      {"no attribute at all", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeFileSystem fs;
    fs.AddFile("C:\\R\\file", "data", row.attributes);
    EmptyFolder(fs, "C:\\R");
    EXPECT_FALSE(fs.Exists("C:\\R\\file"));
    EXPECT_EQ(fs.CallsOf("DeleteFileA"), std::vector<std::string>{"DeleteFileA(C:\\R\\file)"});
    EXPECT_EQ(fs.CallsOf("FindFirstFileA").size(), 1u);
    EXPECT_TRUE(fs.CallsOf("RemoveDirectoryA").empty());
  }
}

TEST(EmptyFolder, NeverEntersNorRemovesALinkToAFolder) {
  FakeFileSystem fs;
  fs.AddFile("C:\\Target\\precious.txt");
  fs.AddFolder("C:\\Target\\empty");
  fs.AddFile("C:\\Target2\\also.txt");
  fs.AddFolderLink("C:\\R\\link", "C:\\Target");
  fs.AddFolderLink("C:\\R\\sub\\nested", "C:\\Target2");
  fs.AddFile("C:\\R\\sub\\plain.txt");

  EmptyFolder(fs, "C:\\R");

  EXPECT_TRUE(fs.Exists("C:\\Target\\precious.txt"));
  EXPECT_TRUE(fs.Exists("C:\\Target\\empty"));
  EXPECT_TRUE(fs.Exists("C:\\Target2\\also.txt"));
  EXPECT_EQ(fs.Attributes("C:\\R\\link"),
            win::kFileAttributeDirectory | win::kFileAttributeReparsePoint);
  EXPECT_FALSE(fs.Exists("C:\\R\\sub\\plain.txt"));
  EXPECT_TRUE(fs.Exists("C:\\R\\sub"));  // it still holds the link
  for (const std::string& call : fs.Calls()) {
    EXPECT_EQ(call.find("\\link"), std::string::npos) << call;
    EXPECT_EQ(call.find("\\nested"), std::string::npos) << call;
  }
  EXPECT_EQ(fs.OpenHandleCount(), 0u);
}

TEST(EmptyFolder, BuildsEveryPathFromTheFolderGivenWithOrWithoutABackslash) {
  for (const char* folder : {"C:\\R", "C:\\R\\"}) {
    SCOPED_TRACE(folder);
    FakeFileSystem fs;
    fs.AddFile("C:\\R\\sub\\f.txt");
    EmptyFolder(fs, folder);
    EXPECT_EQ(fs.CallsOf("FindFirstFileA"),
              (std::vector<std::string>{"FindFirstFileA(C:\\R\\*.*)",
                                        "FindFirstFileA(C:\\R\\sub\\*.*)"}));
    EXPECT_EQ(fs.CallsOf("DeleteFileA"),
              std::vector<std::string>{"DeleteFileA(C:\\R\\sub\\f.txt)"});
    EXPECT_EQ(fs.CallsOf("RemoveDirectoryA"),
              std::vector<std::string>{"RemoveDirectoryA(C:\\R\\sub)"});
    EXPECT_TRUE(fs.Exists("C:\\R"));
  }
}

TEST(EmptyFolder, EmptyPathLeavesTheCurrentDriveAlone) {
  FakeFileSystem fs;
  fs.AddFile("C:\\root.txt");
  fs.AddFile("C:\\Work\\current.txt");
  fs.SetCurrentDirectory("C:\\Work");
  EmptyFolder(fs, "");
  EXPECT_TRUE(fs.Calls().empty());
  EXPECT_TRUE(fs.Exists("C:\\root.txt"));
  EXPECT_TRUE(fs.Exists("C:\\Work\\current.txt"));
}

TEST(EmptyFolder, MissingFolderFindsNothingToDo) {
  FakeFileSystem fs;
  fs.AddFile("C:\\R.txt");
  EmptyFolder(fs, "C:\\R");
  EXPECT_EQ(fs.Calls(), std::vector<std::string>{"FindFirstFileA(C:\\R\\*.*)"});
  EXPECT_TRUE(fs.Exists("C:\\R.txt"));
}

TEST(EmptyFolder, ASearchThatFailsMidwayEndsThatFolderAndIsClosed) {
  FakeFileSystem fs;
  fs.AddFile("C:\\R\\a\\1.txt");
  fs.AddFile("C:\\R\\a\\2.txt");
  fs.AddFile("C:\\R\\b.txt");
  // Two steps of the search of C:\R reach "a"; in the search of C:\R\a, "..", then 1.txt, then
  // the step to 2.txt fails.
  fs.Fail(FakeFileSystem::Op::FindNextFile, win::kErrorAccessDenied, 4);
  EmptyFolder(fs, "C:\\R");
  EXPECT_FALSE(fs.Exists("C:\\R\\a\\1.txt"));
  EXPECT_TRUE(fs.Exists("C:\\R\\a\\2.txt"));
  EXPECT_TRUE(fs.Exists("C:\\R\\a"));
  EXPECT_FALSE(fs.Exists("C:\\R\\b.txt"));
  EXPECT_EQ(fs.OpenHandleCount(), 0u);
  EXPECT_EQ(fs.CallsOf("FindClose").size(), 2u);
}

}  // namespace
}  // namespace dormivo
