// LogView.exe: the process entry. Without arguments it shows Log.dat beside itself, with one
// argument that file.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/clock_locale_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/system_library.h"
#include "viewer/win32/log_view_window.h"

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\') + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  using namespace dormivo;
  platform::RestrictDllSearchToSystemFolder();
  platform::Win32FileSystem files;
  platform::Win32ClockLocale clock;
  std::string path = __argc > 1 ? __argv[1] : ProgramFolder() + "Log.dat";
  path = files.GetFullPathNameA(path);
  viewer::LogViewWindow window(instance, files, clock, path);
  if (!window.Create(showCommand))
    return 1;
  return window.Run();
}
