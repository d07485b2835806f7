// The cleaning stage through the real Windows layer, inside the throwaway prefix only: URL cache
// entries and cookies the test makes itself, the typed-address key, a "Recent" folder that the
// test points at a folder of its own, the URL history object, and the recycle bin, which Wine
// keeps under XDG_DATA_HOME: the test runner's own folder, as every test proves first.
#include <windows.h>

#include <objbase.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/uFunction.h"
#include "platform/exception.h"
#include "platform/win32/com_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/url_cache_win32.h"
#include "tests/wine/wine_support.h"

namespace dormivo {
namespace {

constexpr char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string Environment(const char* name) {
  char value[4096] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

// The Unix path Wine maps a Windows path to; empty outside Wine.
std::string UnixPath(const std::string& windowsPath) {
  using UnixFileName = char*(CDECL*)(LPCWSTR);
  const auto convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (convert == nullptr)
    return {};
  std::wstring wide(windowsPath.begin(), windowsPath.end());
  char* unixPath = convert(wide.c_str());
  if (unixPath == nullptr)
    return {};
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

// Whether this process runs in the throwaway prefix of the test runner: the home folder (which
// Wine gives a Windows process as WINEHOMEDIR) and the XDG data folder (the recycle bin) lie
// beside the prefix, in the runner's own folder.
::testing::AssertionResult InThrowawayPrefix() {
  const std::string prefix = Environment("WINEPREFIX");
  const size_t slash = prefix.rfind('/');
  if (prefix.empty() || slash == std::string::npos || slash == 0)
    return ::testing::AssertionFailure() << "no WINEPREFIX";
  const std::string home = prefix.substr(0, slash + 1) + "home";
  std::string homeAsWindows = "\\??\\Z:" + home;
  for (char& c : homeAsWindows) c = c == '/' ? '\\' : c;
  if (Environment("WINEHOMEDIR") != homeAsWindows)
    return ::testing::AssertionFailure()
           << "home " << Environment("WINEHOMEDIR") << " is not " << home;
  if (!StartsWith(Environment("XDG_DATA_HOME"), home + "/"))
    return ::testing::AssertionFailure()
           << "data " << Environment("XDG_DATA_HOME") << " is not inside " << home;
  return ::testing::AssertionSuccess();
}

// Whether a Windows path lies inside the prefix's own drive C:.
::testing::AssertionResult InsidePrefix(const std::string& windowsPath) {
  const std::string unixPath = UnixPath(windowsPath);
  const std::string drive = Environment("WINEPREFIX") + "/dosdevices/c:/";
  if (!StartsWith(unixPath, drive))
    return ::testing::AssertionFailure() << windowsPath << " is " << unixPath;
  return ::testing::AssertionSuccess();
}

// Every cleaning test first proves where it runs and moves its current directory onto the
// prefix's drive C:, away from the drive that maps the Linux root.
class CleaningOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InThrowawayPrefix());
    ASSERT_TRUE(InsidePrefix(here_.Path()));
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    before_ = current;
    ASSERT_TRUE(SetCurrentDirectoryA(here_.Path().c_str()));
  }
  // A folder that is the current directory cannot be removed.
  void TearDown() override {
    if (!before_.empty())
      SetCurrentDirectoryA(before_.c_str());
  }

  std::string before_;

  winetest::ScratchFolder here_;
  platform::Win32Shell shell_;
  platform::Win32UrlCache urlCache_;
  platform::Win32Registry registry_;
  platform::Win32Com com_;
  platform::Win32FileSystem files_;
  CleaningPlatform platform_{shell_, urlCache_, registry_, com_, files_};
};

// --- URL cache.

// Makes a cache entry of the given type for `url`, with a local file inside the prefix.
::testing::AssertionResult MakeCacheEntry(const std::string& url, DWORD type) {
  char file[MAX_PATH] = {};
  if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", file, 0))
    return ::testing::AssertionFailure() << "CreateUrlCacheEntryA " << GetLastError();
  if (!InsidePrefix(file))
    return ::testing::AssertionFailure() << "cache file outside the prefix: " << file;
  HANDLE handle = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(handle, "entry", 5, &written, nullptr);
  CloseHandle(handle);
  const FILETIME never{};
  if (!CommitUrlCacheEntryA(url.c_str(), file, never, never, type, nullptr, 0, "txt", nullptr))
    return ::testing::AssertionFailure() << "CommitUrlCacheEntryA " << GetLastError();
  return ::testing::AssertionSuccess();
}

bool InCache(const std::string& url) {
  DWORD size = 0;
  if (GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size))
    return true;
  return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::string Unique(const char* stem) {
  return std::string(stem) + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount());
}

TEST_F(CleaningOnWindows, ClearUrlCacheAndClearCookiesEachRemoveOnlyTheirOwnKind) {
  const std::string id = Unique("t");
  const std::vector<std::string> pages = {"http://dormivo.test/" + id + "/a.html",
                                          "http://dormivo.test/" + id + "/b.html",
                                          "http://other.test/" + id + "/c.css"};
  const std::vector<std::string> cookies = {"Cookie:me@dormivo.test/" + id + "/",
                                            "Cookie:me@other.test/" + id + "/"};
  for (const std::string& url : pages) ASSERT_TRUE(MakeCacheEntry(url, NORMAL_CACHE_ENTRY));
  for (const std::string& url : cookies) ASSERT_TRUE(MakeCacheEntry(url, COOKIE_CACHE_ENTRY));
  for (const std::string& url : pages) ASSERT_TRUE(InCache(url)) << url;
  for (const std::string& url : cookies) ASSERT_TRUE(InCache(url)) << url;

  ClearUrlCache(urlCache_);
  for (const std::string& url : pages) EXPECT_FALSE(InCache(url)) << url;
  for (const std::string& url : cookies) EXPECT_TRUE(InCache(url)) << url;

  ASSERT_TRUE(MakeCacheEntry(pages[0], NORMAL_CACHE_ENTRY));
  ClearCookies(urlCache_);
  for (const std::string& url : cookies) EXPECT_FALSE(InCache(url)) << url;
  EXPECT_TRUE(InCache(pages[0]));
  DeleteUrlCacheEntryA(pages[0].c_str());
}

TEST_F(CleaningOnWindows, CacheStepsThroughTheStageOnAnEmptiedCacheFindNothing) {
  ClearUrlCache(urlCache_);
  ClearCookies(urlCache_);
  DWORD size = 0;
  EXPECT_EQ(FindFirstUrlCacheEntryA(nullptr, nullptr, &size), nullptr);
  // Nothing is left, so the walks of the stage start without an enumeration and end at once.
  ExecutorSettings settings;
  settings.Cache = settings.Cookies = true;
  EXPECT_NO_THROW(CleaningStage(platform_, 0, settings));
}

// --- Registry.

// Keeps the values of a key as they were and puts them back at the end; removes the key when it
// did not exist before.
class KeyGuard {
 public:
  explicit KeyGuard(const char* path) : path_(path) {
    HKEY key = nullptr;
    existed_ = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (!existed_)
      return;
    for (DWORD index = 0;; ++index) {
      char name[16384];
      DWORD nameLength = sizeof name, type = 0, dataLength = 0;
      if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &dataLength) !=
          ERROR_SUCCESS) {
        break;
      }
      std::string data(dataLength, '\0');
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &dataLength);
      saved_.push_back(Saved{name, type, data});
    }
    RegCloseKey(key);
  }
  ~KeyGuard() {
    if (!existed_) {
      RegDeleteKeyA(HKEY_CURRENT_USER, path_);
      return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
      return;
    for (const Saved& value : saved_) {
      RegSetValueExA(key, value.name.c_str(), 0, value.type,
                     reinterpret_cast<const BYTE*>(value.data.data()),
                     static_cast<DWORD>(value.data.size()));
    }
    RegCloseKey(key);
  }
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;

 private:
  struct Saved {
    std::string name;
    DWORD type;
    std::string data;
  };
  const char* path_;
  bool existed_ = false;
  std::vector<Saved> saved_;
};

void SetString(const char* keyPath, const std::string& name, const std::string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(
      RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1)),
      ERROR_SUCCESS);
  RegCloseKey(key);
}

// The number of values of a key; nothing when the key does not exist.
std::optional<DWORD> ValueCount(const char* keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return values;
}

TEST_F(CleaningOnWindows, ClearTypedUrlsDeletesEveryValueAndKeepsTheKey) {
  const KeyGuard guard(kTypedUrls);
  SetString(kTypedUrls, "url1", "http://one.test/");
  SetString(kTypedUrls, "url2", "http://two.test/");
  SetString(kTypedUrls, "url" + std::string(200, '9'), "http://long.test/");
  SetString(kTypedUrls, "", "default value");
  ASSERT_EQ(ValueCount(kTypedUrls), 4u);

  ClearTypedUrls(registry_);

  EXPECT_EQ(ValueCount(kTypedUrls), 0u);
}

TEST_F(CleaningOnWindows, ClearTypedUrlsLeavesAMissingKeyMissing) {
  const KeyGuard guard(kTypedUrls);
  RegDeleteKeyA(HKEY_CURRENT_USER, kTypedUrls);
  ASSERT_FALSE(ValueCount(kTypedUrls));
  ClearTypedUrls(registry_);
  EXPECT_FALSE(ValueCount(kTypedUrls));
}

// --- URL history.

// The real COM, with the result of each call kept.
class RecordingCom final : public platform::Com {
 public:
  explicit RecordingCom(platform::Com& inner) : inner_(inner) {}
  int32_t CoCreateInstance(const platform::Guid& clsid, platform::ComInterface outer,
                           uint32_t clsContext, const platform::Guid& iid,
                           platform::ComInterface* object) override {
    created = inner_.CoCreateInstance(clsid, outer, clsContext, iid, object);
    return *created;
  }
  int32_t QueryInterface(platform::ComInterface object, const platform::Guid& iid,
                         platform::ComInterface* result) override {
    queried = inner_.QueryInterface(object, iid, result);
    return *queried;
  }
  int32_t ClearHistory(platform::ComInterface history) override {
    cleared = inner_.ClearHistory(history);
    return *cleared;
  }
  uint32_t Release(platform::ComInterface object) override {
    ++releases;
    return inner_.Release(object);
  }

  std::optional<int32_t> created, queried, cleared;
  int releases = 0;

 private:
  platform::Com& inner_;
};

TEST_F(CleaningOnWindows, HistoryStepClearsTypedAddressesThenTheUrlHistoryAsTheSystemAllows) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    const KeyGuard guard(kTypedUrls);
    SetString(kTypedUrls, "url1", "http://one.test/");
    RecordingCom com(com_);
    CleaningPlatform platform{shell_, urlCache_, registry_, com, files_};
    ExecutorSettings settings;
    settings.History = true;
    bool raised = false;
    try {
      CleaningStage(platform, 0, settings);
    } catch (const Exception& e) {
      raised = true;
      std::printf("URL history step failed: %s\n", e.what());
    }
    EXPECT_EQ(ValueCount(kTypedUrls), 0u);
    ASSERT_TRUE(com.created);
    const bool available = SUCCEEDED(*com.created) && com.queried && SUCCEEDED(*com.queried);
    // The stage fails exactly when the object or its interface is missing; otherwise it asks
    // for the history to be cleared, whatever that answers, and gives both references back.
    EXPECT_EQ(raised, !available);
    if (available) {
      ASSERT_TRUE(com.cleared);
      std::printf("ClearHistory answered 0x%08lX\n", static_cast<unsigned long>(*com.cleared));
      EXPECT_EQ(com.releases, 2);
    } else {
      EXPECT_FALSE(com.cleared);
    }
  }
  CoUninitialize();
}

// --- Recent folder.

// Points the current user's Shell Folders value at a folder and puts the old value back.
class ShellFolderGuard {
 public:
  ShellFolderGuard(const char* name, const std::string& path) : name_(name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      return;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      old_.emplace(size, '\0');
      RegQueryValueExA(key, name, nullptr, &type_, reinterpret_cast<BYTE*>(old_->data()), &size);
    }
    set_ = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                          static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~ShellFolderGuard() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      return;
    }
    if (old_) {
      RegSetValueExA(key, name_, 0, type_, reinterpret_cast<const BYTE*>(old_->data()),
                     static_cast<DWORD>(old_->size()));
    } else {
      RegDeleteValueA(key, name_);
    }
    RegCloseKey(key);
  }
  ShellFolderGuard(const ShellFolderGuard&) = delete;
  ShellFolderGuard& operator=(const ShellFolderGuard&) = delete;
  bool Set() const { return set_; }

 private:
  const char* name_;
  DWORD type_ = 0;
  std::optional<std::string> old_;
  bool set_ = false;
};

// A Linux symbolic link to a folder, made and removed with the system's own ln and rm so that
// only the link itself ever goes.
class FolderLink {
 public:
  FolderLink(const std::string& link, const std::string& target) : link_(link) {
    const std::string parent = link.substr(0, link.rfind('\\'));
    const std::string unixParent = UnixPath(parent), unixTarget = UnixPath(target);
    if (unixParent.empty() || unixTarget.empty())
      return;
    unixLink_ = unixParent + "/" + link.substr(link.rfind('\\') + 1);
    winetest::RunProcess("/bin/ln -s \"" + unixTarget + "\" \"" + unixLink_ + "\"");
    // A Unix program's end is not always seen through its process handle: wait for the link.
    for (int tries = 0; tries < 250 && !made_; ++tries) {
      const DWORD attributes = GetFileAttributesA(link.c_str());
      made_ = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
              (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
      if (!made_)
        Sleep(20);
    }
  }
  ~FolderLink() {
    if (unixLink_.empty())
      return;
    winetest::RunProcess("/bin/rm -f \"" + unixLink_ + "\"");
    for (int tries = 0; tries < 250 && GetFileAttributesA(link_.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++tries) {
      Sleep(20);
    }
  }
  FolderLink(const FolderLink&) = delete;
  FolderLink& operator=(const FolderLink&) = delete;
  bool Made() const { return made_; }

 private:
  std::string link_;
  std::string unixLink_;
  bool made_ = false;
};

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  const size_t slash = path.rfind('\\');
  for (size_t pos = path.find('\\', 3); pos != std::string::npos && pos <= slash;
       pos = path.find('\\', pos + 1)) {
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  }
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(handle, "data", 4, &written, nullptr);
  CloseHandle(handle);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(CleaningOnWindows, DocListEmptiesTheRecentFolderByTheRulesAndLeavesLinkedFoldersAlone) {
  winetest::ScratchFolder recentFolder, elsewhere;
  const std::string r = recentFolder.Path();  // ends in a backslash
  const std::string e = elsewhere.Path();
  ASSERT_TRUE(InsidePrefix(r));
  ASSERT_TRUE(InsidePrefix(e));

  MakeFile(r + "plain.txt", FILE_ATTRIBUTE_ARCHIVE);
  MakeFile(r + "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  MakeFile(r + "system.txt", FILE_ATTRIBUTE_SYSTEM);
  MakeFile(r + "normal.txt", FILE_ATTRIBUTE_NORMAL);
  MakeFile(r + "notindexed.txt", FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  MakeFile(r + ".keep");
  MakeFile(r + ".hiddenfolder\\inner.txt");
  MakeFile(r + "sub\\deep\\file.txt");
  ASSERT_TRUE(CreateDirectoryA((r + "sub\\empty").c_str(), nullptr));
  MakeFile(r + "ro\\inner\\locked.txt", FILE_ATTRIBUTE_READONLY);
  MakeFile(r + "ro\\inner\\other.txt");
  MakeFile(r + "ro\\gone\\g.txt");
  MakeFile(e + "target\\precious.txt");
  MakeFile(e + "target\\nested\\more.txt");
  ASSERT_TRUE(CreateDirectoryA((e + "emptytarget").c_str(), nullptr));
  const FolderLink link(r + "link", e + "target");
  const FolderLink emptyLink(r + "sub\\emptylink", e + "emptytarget");
  ASSERT_TRUE(link.Made());
  ASSERT_TRUE(emptyLink.Made());
  ASSERT_TRUE(Exists(r + "link\\precious.txt"));

  {
    const std::string recent = r.substr(0, r.size() - 1);
    const ShellFolderGuard guard("Recent", recent);
    ASSERT_TRUE(guard.Set());
    // Proven before anything is deleted: the stage will read exactly this test's folder.
    ASSERT_EQ(GetShellFolder(registry_, kShellFolderRecent), recent);
    ExecutorSettings settings;
    settings.DocList = true;
    CleaningStage(platform_, 0, settings);
  }

  for (const char* gone : {"plain.txt", "hidden.txt", "system.txt", "normal.txt", "notindexed.txt",
                           "sub\\deep", "ro\\inner\\other.txt", "ro\\gone"}) {
    EXPECT_FALSE(Exists(r + gone)) << gone;
  }
  for (const char* kept : {".keep", ".hiddenfolder\\inner.txt", "ro\\inner\\locked.txt",
                           "ro\\inner", "ro", "link", "sub\\emptylink", "sub"}) {
    EXPECT_TRUE(Exists(r + kept)) << kept;
  }
  EXPECT_TRUE(Exists(r));
  // The targets of the links are untouched, the empty one included.
  EXPECT_TRUE(Exists(e + "target\\precious.txt"));
  EXPECT_TRUE(Exists(e + "target\\nested\\more.txt"));
  EXPECT_TRUE(Exists(e + "emptytarget"));
  SetFileAttributesA((r + "ro\\inner\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CleaningOnWindows, RecycleEmptiesTheRecycleBinOfTheTestsOwnDataFolder) {
  const std::string trash = winetest::TrashFolder();
  ASSERT_FALSE(trash.empty());
  ASSERT_TRUE(winetest::ClearTrashByHand());
  ASSERT_TRUE(winetest::PutIntoTrash("letter-" + Unique("t") + ".txt"));
  ASSERT_TRUE(winetest::PutIntoTrash("photo-" + Unique("t") + ".jpg"));
  ASSERT_EQ(winetest::FolderEntries(trash + "files\\").size(), 2u);
  ASSERT_EQ(winetest::FolderEntries(trash + "info\\").size(), 2u);

  ExecutorSettings settings;
  settings.Recycle = true;
  CleaningStage(platform_, 0, settings);

  EXPECT_TRUE(winetest::FolderEntries(trash + "files\\").empty());
  EXPECT_TRUE(winetest::FolderEntries(trash + "info\\").empty());
  EXPECT_TRUE(Exists(trash + "files")) << "the bin itself stays";
}

}  // namespace
}  // namespace dormivo
