// The log viewer's window: a toolbar with Save and Print, a report list of the log's entries
// drawn on demand (a virtual list view), and a status bar with the number of entries and the
// file's time. It follows the file: a timer asks the row model whether the file changed and reads
// it anew. Laid out for the DPI of the monitor it shows on, and again when that changes.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "platform/clock_locale.h"
#include "platform/file_system.h"
#include "viewer/log_model.h"

namespace dormivo::viewer {

class LogViewWindow {
 public:
  // The window class, which the tests look for.
  static constexpr char kClassName[] = "DormivoLogView";
  // How often the window asks whether the file changed.
  static constexpr UINT kPollMs = 500;
  // The window's first size and the columns' widths at 96 DPI, scaled by DPI / 96.
  static constexpr int kDesignWidth = 760;
  static constexpr int kDesignHeight = 480;
  static constexpr int kColumnWidths[3] = {170, 230, 320};

  LogViewWindow(HINSTANCE instance, platform::FileSystem& files, platform::ClockLocale& clock,
                std::string logPath);
  ~LogViewWindow();
  LogViewWindow(const LogViewWindow&) = delete;
  LogViewWindow& operator=(const LogViewWindow&) = delete;

  // Creates the window, reads the log and shows it; false when the window cannot be made.
  bool Create(int showCommand);
  // Runs the message loop until the window is closed; the exit code.
  int Run();

  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateChildren();
  // Fonts, toolbar images, column widths and the default size for `dpi`.
  void ApplyDpi(uint32_t dpi);
  void Layout();
  // Shows the model's rows and status, the newest entry in view.
  void ShowRows();
  void ShowStatus();
  void OnGetDispInfo(NMLVDISPINFOA* info);
  void Save();
  void Print();
  // A message box about an error, owned by the window.
  void ShowError(const std::string& text);
  uint32_t Dpi() const;

  HINSTANCE instance_;
  platform::FileSystem& files_;
  platform::ClockLocale& clock_;
  LogModel model_;
  HWND window_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HFONT font_ = nullptr;
  uint32_t dpi_ = 96;
};

}  // namespace dormivo::viewer
