// Notifier.exe: the process entry. Builds the real platform and runs the executor from start to
// end; the exit code is 0 in every orderly ending and 217 when start-up is abandoned.
#include <windows.h>

#include "app/application.h"
#include "app/platform_steps.h"
#include "app/win32/win32_process.h"
#include "app/win32/win32_ui.h"
#include "platform/win32/ansi_text_win32.h"
#include "platform/win32/clock_locale_win32.h"
#include "platform/win32/com_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/power_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/sync_win32.h"
#include "platform/win32/system_library.h"
#include "platform/win32/url_cache_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace dormivo;
  // Every DLL loaded later (the delay-loaded shell32, the sound library) comes from the system
  // folder, never from beside the executable or the current folder.
  platform::RestrictDllSearchToSystemFolder();
  win32app::Win32Ui ui(instance);
  win32app::Win32ProcessApi process;
  platform::Win32PowerApi power;
  platform::Win32FileSystem files;
  platform::Win32AnsiText codePage;
  platform::Win32ClockLocale clock;
  platform::Win32Shell shell;
  platform::Win32UrlCache urlCache;
  platform::Win32Registry registry;
  platform::Win32Com com;
  platform::Win32SyncApi sync;
  CleaningPlatform cleaning{shell, urlCache, registry, com, files};
  PlatformExecutionSteps steps(cleaning, files, clock, power, sync);
  NotifierPlatform notifier{ui, ui, process, power, files, codePage};
  TApplication application(notifier, steps);
  return application.Run();
}
