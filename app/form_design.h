// The design of the notifier form at 96 DPI (100 %): window classes, sizes, colours, fonts,
// positions, captions and tab order. The Windows layer builds the window from it, the fake window
// mirrors it, and the tests that read the real window back compare with it.
#pragma once

#include <cstdint>

#include "resources/resource.h"

namespace dormivo::design {

inline constexpr char kApplicationTitle[] = "Notifier";
// Window classes, named after the classes of the executor.
inline constexpr char kApplicationClass[] = "TApplication";
inline constexpr char kFormClass[] = "TfrmExecute";

// The form: no border or title bar, on top of other windows, centred on the screen.
inline constexpr char kFormCaption[] = "Notifier";
inline constexpr int32_t kClientWidth = 474;
inline constexpr int32_t kClientHeight = 127;
// PanelF: a maroon frame of this width around PanelBG, which has the button-face colour and
// holds every control. Control positions below are relative to PanelBG.
inline constexpr int32_t kFrameWidth = 6;
inline constexpr uint32_t kFrameColour = 0x000080;  // maroon, as a COLORREF (0x00BBGGRR)

inline constexpr char kFontName[] = "Tahoma";
inline constexpr int32_t kFontHeight = 11;          // pixels, the character height
inline constexpr int32_t kNotifierFontHeight = 15;  // lbNotifier: bold, black

struct Control {
  const char* name;
  int32_t id;
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  const char* caption;
};

// lbAppName is sized to its caption, as an auto-sizing label is; it is disabled (drawn greyed).
inline constexpr Control kLbAppName{"lbAppName", IDC_LBAPPNAME, 17, 2, 41, 13, "Dormivo"};
// Fixed size and transparent.
inline constexpr Control kLbNotifier{"lbNotifier", IDC_LBNOTIFIER,          16, 20, 433,
                                     18,           "Task will be executed."};
// Step 1, range 0 to 100 until start-up sets the maximum. The bar draws no text; its window text
// is the name a screen reader gives it.
inline constexpr Control kProgressM{"ProgressM", IDC_PROGRESSM, 16, 48, 433, 16, "Time left"};
inline constexpr int32_t kProgressDesignMax = 100;
// The buttons in their tab order.
inline constexpr Control kBtnActivate{"btnActivate",       IDC_BTNACTIVATE, 32, 80, 120, 25,
                                      "&Activate task now"};
inline constexpr Control kBtnDelay{
    "btnDelay", IDC_BTNDELAY, 172, 80, 120, 25, "&Delay for 10 minutes "};
inline constexpr Control kBtnCancel{"btnCancel", IDC_BTNCANCEL,           312, 80, 120,
                                    25,          "&Cancel this execution"};

// Timers of the form, by their WM_TIMER ids.
inline constexpr uintptr_t kTimerEventId = 1;
inline constexpr uint32_t kTimerEventInterval = 1000;
inline constexpr uintptr_t kTimerTerId = 2;
inline constexpr uint32_t kTimerTerInterval = 60000;
// For this long after the warning appears (also when it comes back after Delay) its buttons are
// disabled: a click or a key meant for what was there a moment before presses none of them.
inline constexpr uintptr_t kTimerButtonsId = 3;
inline constexpr uint32_t kButtonsHeldMs = 1000;

}  // namespace dormivo::design
