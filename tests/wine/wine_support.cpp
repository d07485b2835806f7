#include "tests/wine/wine_support.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dormivo::winetest {
namespace {

std::string UniqueName(const char* stem) {
  static std::atomic<unsigned> counter{0};
  return std::string(stem) + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
}

// A search among the top-level windows, for FindTopLevel.
struct WindowSearch {
  DWORD pid;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if ((search->pid == 0 || pid == search->pid) && std::string(name) == search->className &&
      (!search->title || WindowText(window) == search->title)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..")
        continue;
      const std::string path = folder + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(path + "\\");
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path.c_str()))
          RemoveDirectoryA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string SystemText(DWORD code) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 sizeof text, nullptr);
  std::string result = text;
  while (!result.empty() &&
         (static_cast<unsigned char>(result.back()) <= 32 || result.back() == '.')) {
    result.pop_back();
  }
  return result;
}

std::string TrashFolder() {
  char data[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("XDG_DATA_HOME", data, sizeof data);
  if (length == 0 || length >= sizeof data || data[0] != '/')
    return {};
  std::string folder = std::string("Z:") + data + "/Trash/";
  for (char& c : folder) c = c == '/' ? '\\' : c;
  return folder;
}

bool PutIntoTrash(const std::string& name) {
  const std::string trash = TrashFolder();
  if (trash.empty())
    return false;
  const auto write = [](const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return false;
    DWORD written = 0;
    const bool wrote =
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    return CloseHandle(file) && wrote;
  };
  return write(trash + "files\\" + name, "deleted earlier") &&
         write(trash + "info\\" + name + ".trashinfo",
               "[Trash Info]\nPath=/home/someone/" + name + "\nDeletionDate=2026-12-01T10:00:00\n");
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

bool ClearTrashByHand() {
  const std::string trash = TrashFolder();
  if (trash.empty())
    return false;
  for (const char* part : {"files\\", "info\\"}) {
    const std::string folder = trash + part;
    for (const std::string& name : FolderEntries(folder)) {
      const std::string path = folder + name;
      if (!DeleteFileA(path.c_str()))
        RemoveTree(path + "\\");
    }
    if (!FolderEntries(folder).empty())
      return false;
  }
  return true;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\') + 1);
}

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + UniqueName("dormivo-") + "\\";
  if (!CreateDirectoryA(path_.c_str(), nullptr)) {
    throw std::runtime_error("cannot create " + path_);
  }
}

ScratchFolder::~ScratchFolder() {
  RemoveTree(path_);
}

void ScratchFolder::WriteFile(const std::string& name, const std::string& content) const {
  std::ofstream out(path_ + name, std::ios::binary);
  out << content;
}

std::string ScratchFolder::ReadFile(const std::string& name) const {
  std::ifstream in(path_ + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

HolderProcess::HolderProcess(const std::string& tool, const std::string& arguments) {
  const std::string readyName = UniqueName("dormivo-ready-");
  const std::string releaseName = UniqueName("dormivo-release-");
  ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
  release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
  std::string command =
      "\"" + ProgramFolder() + tool + "\" " + arguments + " " + readyName + " " + releaseName;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    return;
  }
  HANDLE waits[2] = {ready_, process_.hProcess};
  holding_ = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
}

void HolderProcess::Kill() {
  if (process_.hProcess) {
    TerminateProcess(process_.hProcess, 9);
    WaitForSingleObject(process_.hProcess, 30000);
  }
  holding_ = false;
}

HolderProcess::~HolderProcess() {
  if (release_)
    SetEvent(release_);
  if (process_.hProcess) {
    WaitForSingleObject(process_.hProcess, 30000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  if (ready_)
    CloseHandle(ready_);
  if (release_)
    CloseHandle(release_);
}

DWORD RunProcess(const std::string& commandLine, DWORD timeoutMs) {
  std::string command = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return static_cast<DWORD>(-1);
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

bool WaitFor(const std::function<bool()>& condition, DWORD ms, DWORD pollMs) {
  const DWORD from = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - from >= ms)
      return false;
    Sleep(pollMs);
  }
  return true;
}

void Press(WORD key, WORD modifier) {
  std::vector<INPUT> inputs;
  const auto add = [&inputs](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (modifier)
    add(modifier, false);
  add(key, false);
  add(key, true);
  if (modifier)
    add(modifier, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND FindTopLevel(DWORD pid, const char* className, const char* title) {
  WindowSearch search{pid, className, title, nullptr};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace dormivo::winetest
