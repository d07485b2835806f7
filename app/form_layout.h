// The notifier form laid out for the DPI of the monitor it shows on, and placed on that monitor.
// The design's sizes are for 96 DPI; every size, position and font height scales by DPI / 96, so
// that the window is as large on the screen at 150 % or 200 % as at 100 % and keeps its
// proportions. Pure functions: the Windows layer applies them.
#pragma once

#include <cstdint>

#include "app/form_design.h"
#include "platform/ui.h"

namespace dormivo {

// The DPI the design's pixel sizes are meant for (100 %).
inline constexpr uint32_t kDesignDpi = 96;

// value × dpi / 96 to the nearest pixel, halves away from zero (as MulDiv rounds). A DPI of 0
// (unknown) counts as 96.
int32_t ScaleToDpi(int32_t value, uint32_t dpi);

struct FormLayout {
  uint32_t dpi = kDesignDpi;
  int32_t clientWidth = design::kClientWidth;
  int32_t clientHeight = design::kClientHeight;
  int32_t frameWidth = design::kFrameWidth;
  int32_t fontHeight = design::kFontHeight;
  int32_t notifierFontHeight = design::kNotifierFontHeight;

  // A control's rectangle in the form's client coordinates. Its edges are scaled (not its
  // size), so that controls that meet in the design still meet.
  platform::Rect Bounds(const design::Control& control) const;
};

FormLayout LayoutForDpi(uint32_t dpi);

// The window rectangle that centres a window of this size in a monitor's work area. A window
// larger than the work area starts at the work area's left or top edge, so that its top-left
// part stays on that monitor.
platform::Rect CentredIn(const platform::Rect& workArea, int32_t width, int32_t height);

}  // namespace dormivo
