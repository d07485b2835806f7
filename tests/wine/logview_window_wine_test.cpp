// The log viewer's window driven in this process: laid out anew when Windows tells it that its
// DPI changed (WM_DPICHANGED, which Wine itself never sends).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/clock_locale_win32.h"
#include "platform/win32/file_system_win32.h"
#include "resources/logview_resource.h"
#include "tests/wine/wine_support.h"
#include "viewer/win32/log_view_window.h"

namespace dormivo {
namespace {

int FontHeight(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

TEST(LogViewWindowOnWindows, ADpiChangeScalesFontsAndColumnsAndTakesTheSuggestedPlace) {
  winetest::ScratchFolder folder;
  folder.WriteFile("Log.dat", "[3/14/2026 9:05:07 PM]Backup>Power Off\r\n");
  platform::Win32FileSystem files;
  platform::Win32ClockLocale clock;
  {
    viewer::LogViewWindow window(GetModuleHandleA(nullptr), files, clock,
                                 folder.Path() + "Log.dat");
    ASSERT_TRUE(window.Create(SW_SHOWNOACTIVATE));
    HWND list = GetDlgItem(window.Window(), IDC_LIST);
    ASSERT_NE(list, nullptr);
    SendMessageA(window.Window(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
    const int fontAt96 = FontHeight(list);
    ASSERT_GT(fontAt96, 0);
    struct Row {
      const char* name;
      uint32_t dpi;
      RECT suggested;
    };
    const Row rows[] = {
        {"to 200 %", 192, {40, 30, 1240, 990}},
        {"to 150 %", 144, {10, 20, 1150, 740}},
        {"back to 100 %", 96, {100, 100, 860, 580}},
    };
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      SendMessageA(window.Window(), WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi),
                   reinterpret_cast<LPARAM>(&row.suggested));
      RECT bounds{};
      GetWindowRect(window.Window(), &bounds);
      EXPECT_TRUE(EqualRect(&bounds, &row.suggested))
          << bounds.left << "," << bounds.top << "-" << bounds.right << "," << bounds.bottom;
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0),
                  MulDiv(viewer::LogViewWindow::kColumnWidths[c], static_cast<int>(row.dpi), 96))
            << "column " << c;
      }
      EXPECT_NEAR(FontHeight(list), fontAt96 * static_cast<double>(row.dpi) / 96, 1.0);
      // The list fills the room between the toolbar and the status bar.
      RECT client{};
      GetClientRect(window.Window(), &client);
      RECT listBounds{};
      GetWindowRect(list, &listBounds);
      EXPECT_EQ(listBounds.right - listBounds.left, client.right);
    }
  }
  // The window's end asked this thread's loop to quit; no later test should see that.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace dormivo
