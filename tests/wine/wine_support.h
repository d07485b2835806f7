// Support for the tests of the real Windows layer: a scratch folder per test and a second
// process that holds a file open.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dormivo::winetest {

// Folder of the running test program, ending in a backslash; the helper programs live there.
std::string ProgramFolder();

// A new empty folder under the temporary folder, removed with its content at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // The folder's path, ending in a backslash.
  const std::string& Path() const { return path_; }
  void WriteFile(const std::string& name, const std::string& content) const;
  std::string ReadFile(const std::string& name) const;

 private:
  std::string path_;
};

// Another Windows process, a helper program started as "<tool> <arguments> <ready event>
// <release event>", that takes hold of something, says so through the ready event and lets go
// when this object goes away (through the release event).
class HolderProcess {
 public:
  HolderProcess(const std::string& tool, const std::string& arguments);
  ~HolderProcess();
  HolderProcess(const HolderProcess&) = delete;
  HolderProcess& operator=(const HolderProcess&) = delete;
  bool Holding() const { return holding_; }
  // Ends the process at once, without letting go, as a crash or the task manager would.
  void Kill();

 private:
  HANDLE ready_ = nullptr;
  HANDLE release_ = nullptr;
  PROCESS_INFORMATION process_{};
  bool holding_ = false;
};

// Another Windows process holding a file open with the given access ("r", "w" or "rw") and
// share mode, until this object goes away.
class FileHolder : public HolderProcess {
 public:
  FileHolder(const std::string& path, const std::string& access, DWORD shareMode)
      : HolderProcess("hold_file.exe",
                      "\"" + path + "\" " + access + " " + std::to_string(shareMode)) {}
};

// Another Windows process owning the named mutex, until this object goes away.
class MutexHolder : public HolderProcess {
 public:
  explicit MutexHolder(const std::string& name) : HolderProcess("hold_mutex.exe", name) {}
};

// What the system itself says for an error code, trimmed as the executor's messages trim it (no
// trailing blanks, line breaks or full stop).
std::string SystemText(DWORD code);

// The recycle bin as Wine keeps it for this prefix: the trash folder under XDG_DATA_HOME (the
// test runner's own), as a Windows path ending in a backslash; empty when XDG_DATA_HOME is unset.
std::string TrashFolder();
// Puts a file into that recycle bin as a Linux desktop would: Trash\files\<name> and
// Trash\info\<name>.trashinfo naming where it came from. False when it cannot be made. (Files
// only: Wine 8 empties a bin of files but leaves a folder in it.)
bool PutIntoTrash(const std::string& name);
// Removes whatever earlier runs left in that recycle bin, so that a test starts from an empty
// one; true when it is empty.
bool ClearTrashByHand();
// The names in a folder, "." and ".." left out, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Runs a command line and waits for it (60 s at most); returns its exit code, or -1.
DWORD RunProcess(const std::string& commandLine, DWORD timeoutMs = 60000);

// Polls `condition` every `pollMs` for up to `ms`; whether it came to hold.
bool WaitFor(const std::function<bool()>& condition, DWORD ms, DWORD pollMs = 10);

// One key pressed and released through the system's input queue (SendInput), with `modifier`
// (VK_CONTROL, VK_MENU, ...) held around it unless 0; it goes to the window in the foreground, as
// the person's keys do.
void Press(WORD key, WORD modifier = 0);

// A window's text, up to 511 characters.
std::string WindowText(HWND window);

// The first top-level window of a process (of any process when `pid` is 0) of the class and,
// when `title` is given, with that text; nullptr when there is none.
HWND FindTopLevel(DWORD pid, const char* className, const char* title = nullptr);

}  // namespace dormivo::winetest
