// LogView.exe: the process entry. The portable part reads the command line and runs the
// command-line export without any window; otherwise the window shows the log until it is closed.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/clock_locale_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/system_library.h"
#include "viewer/log_view.h"
#include "viewer/win32/log_view_window.h"

namespace {

// The full path of this program.
std::string ProgramPath() {
  std::vector<char> path(MAX_PATH);
  while (true) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size())
      return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  using namespace dormivo;
  // Every DLL loaded later comes from the system folder, never from beside the executable or the
  // current folder.
  platform::RestrictDllSearchToSystemFolder();
  platform::Win32FileSystem files;
  platform::Win32ClockLocale clock;
  // The arguments as the C runtime splits them.
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);

  viewer::LogViewHooks hooks;
  hooks.showWindow = [&](const std::string& logPath) {
    viewer::LogViewWindow window(instance, files, clock, files.GetFullPathNameA(logPath));
    if (!window.Create(showCommand))
      return viewer::kExitFailed;
    return window.Run();
  };
  hooks.reportError = [](const std::string& text) {
    // A script that redirected the error output reads why; there is never a message box.
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE) {
      const std::string line = "LogView: " + text + "\r\n";
      DWORD written = 0;
      WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
  };
  return viewer::RunLogView(files, ProgramPath(), args, hooks);
}
