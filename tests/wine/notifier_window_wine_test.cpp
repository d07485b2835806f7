// The notifier's window layer driven in this process: the form laid out anew when Windows tells
// it that its DPI changed (WM_DPICHANGED, which Wine itself never sends), and placed on the
// monitor that holds the cursor when it shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/form_design.h"
#include "app/form_layout.h"
#include "app/win32/win32_ui.h"
#include "resources/resource.h"

namespace dormivo {
namespace {

class NoEvents final : public platform::EventSink {
 public:
  void Dispatch(platform::FormEvent) override {}
};

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// The application window and the form of a Win32Ui of this process.
struct Windows {
  win32app::Win32Ui ui{GetModuleHandleA(nullptr)};
  NoEvents sink;
  platform::WindowHandle application = ui.CreateApplicationWindow("Notifier", sink);
  platform::FormWindows form = ui.CreateFormWindows(application);
  HWND Form() const { return reinterpret_cast<HWND>(form.form); }
  HWND Control(int id) const { return GetDlgItem(Form(), id); }
  ~Windows() {
    ClipCursor(nullptr);
    ui.DestroyWindow(form.form);
    ui.DestroyWindow(application);
  }
};

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

LOGFONTA FontOf(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

TEST(NotifierWindowOnWindows, ADpiChangeLaysTheFormOutAnewAtTheSuggestedPlace) {
  Windows w;
  struct Row {
    const char* name;
    uint32_t dpi;
    RECT suggested;
  };
  const Row rows[] = {
      {"to 200 %", 192, {100, 80, 1048, 334}},
      {"to 150 %", 144, {50, 60, 761, 251}},
      {"to 125 %, a suggested size off by one", 120, {10, 20, 602, 179}},
      {"back to 100 %", 96, {403, 448, 877, 575}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SendMessageA(w.Form(), WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi),
                 reinterpret_cast<LPARAM>(&row.suggested));
    const FormLayout layout = LayoutForDpi(row.dpi);
    // At the suggested top-left corner, in the layout's size.
    const RECT bounds = WindowRectOf(w.Form());
    EXPECT_EQ(Text(bounds),
              Text({row.suggested.left, row.suggested.top, row.suggested.left + layout.clientWidth,
                    row.suggested.top + layout.clientHeight}));
    RECT client{};
    GetClientRect(w.Form(), &client);
    EXPECT_EQ(client.right, layout.clientWidth);
    EXPECT_EQ(client.bottom, layout.clientHeight);
    const design::Control controls[] = {design::kLbNotifier, design::kProgressM,
                                        design::kBtnActivate, design::kBtnDelay,
                                        design::kBtnCancel};
    for (const design::Control& c : controls) {
      SCOPED_TRACE(c.name);
      const RECT r = WindowRectOf(w.Control(c.id));
      const platform::Rect expected = layout.Bounds(c);
      EXPECT_EQ(Text({r.left - bounds.left, r.top - bounds.top, r.right - bounds.left,
                      r.bottom - bounds.top}),
                Text({expected.left, expected.top, expected.right, expected.bottom}));
    }
    // lbAppName where the design puts it, as wide as its caption in the new font.
    const RECT appName = WindowRectOf(w.Control(IDC_LBAPPNAME));
    EXPECT_EQ(appName.left - bounds.left, layout.Bounds(design::kLbAppName).left);
    EXPECT_EQ(appName.top - bounds.top, layout.Bounds(design::kLbAppName).top);
    // The fonts at the new DPI: Tahoma, bold for the notifier text.
    const LOGFONTA buttonFont = FontOf(w.Control(IDC_BTNDELAY));
    EXPECT_EQ(buttonFont.lfHeight, -layout.fontHeight);
    EXPECT_STREQ(buttonFont.lfFaceName, design::kFontName);
    EXPECT_EQ(FontOf(w.Control(IDC_LBAPPNAME)).lfHeight, -layout.fontHeight);
    const LOGFONTA notifierFont = FontOf(w.Control(IDC_LBNOTIFIER));
    EXPECT_EQ(notifierFont.lfHeight, -layout.notifierFontHeight);
    EXPECT_EQ(notifierFont.lfWeight, FW_BOLD);
  }
}

TEST(NotifierWindowOnWindows, ADpiChangeWhileTheWarningShowsKeepsTheCursorConfinedToIt) {
  Windows w;
  w.ui.ShowWindow(w.form.form, SW_SHOWNOACTIVATE);
  // Confined as the executor confines it when the warning shows.
  const RECT before = WindowRectOf(w.Form());
  ASSERT_TRUE(ClipCursor(&before));
  const RECT suggested{200, 150, 1148, 404};
  SendMessageA(w.Form(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  const RECT after = WindowRectOf(w.Form());
  EXPECT_EQ(Text(after), Text(suggested));
  RECT clip{};
  GetClipCursor(&clip);
  EXPECT_EQ(Text(clip), Text(after)) << "the confinement follows the window";
}

TEST(NotifierWindowOnWindows, ShowingTheFormCentresItOnTheMonitorThatHoldsTheCursor) {
  Windows w;
  // Moved away while hidden (as a DPI change may leave it), then shown.
  SetWindowPos(w.Form(), nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(SetCursorPos(100, 100));
  w.ui.ShowWindow(w.form.form, SW_SHOWNOACTIVATE);
  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &info));
  const platform::Rect work{info.rcWork.left, info.rcWork.top, info.rcWork.right,
                            info.rcWork.bottom};
  const platform::Rect centred = CentredIn(work, design::kClientWidth, design::kClientHeight);
  EXPECT_EQ(Text(WindowRectOf(w.Form())),
            Text({centred.left, centred.top, centred.right, centred.bottom}));
  EXPECT_TRUE(IsWindowVisible(w.Form()));
  EXPECT_TRUE(GetWindowLongA(w.Form(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Hidden and moved again, it is centred again at the next showing.
  w.ui.ShowWindow(w.form.form, SW_HIDE);
  SetWindowPos(w.Form(), nullptr, 7, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  w.ui.ShowWindow(w.form.form, SW_SHOWNOACTIVATE);
  EXPECT_EQ(WindowRectOf(w.Form()).left, centred.left);
  EXPECT_EQ(WindowRectOf(w.Form()).top, centred.top);
}

}  // namespace
}  // namespace dormivo
