#include "app/form_layout.h"

namespace dormivo {

int32_t ScaleToDpi(int32_t value, uint32_t dpi) {
  if (dpi == 0)
    dpi = kDesignDpi;
  const int64_t product = static_cast<int64_t>(value) * dpi;
  const int64_t half = kDesignDpi / 2;
  const int64_t scaled = product >= 0 ? (product + half) / kDesignDpi
                                      : -((-product + half) / static_cast<int64_t>(kDesignDpi));
  return static_cast<int32_t>(scaled);
}

platform::Rect FormLayout::Bounds(const design::Control& control) const {
  const int32_t left = design::kFrameWidth + control.left;
  const int32_t top = design::kFrameWidth + control.top;
  return {ScaleToDpi(left, dpi), ScaleToDpi(top, dpi), ScaleToDpi(left + control.width, dpi),
          ScaleToDpi(top + control.height, dpi)};
}

FormLayout LayoutForDpi(uint32_t dpi) {
  if (dpi == 0)
    dpi = kDesignDpi;
  FormLayout layout;
  layout.dpi = dpi;
  layout.clientWidth = ScaleToDpi(design::kClientWidth, dpi);
  layout.clientHeight = ScaleToDpi(design::kClientHeight, dpi);
  layout.frameWidth = ScaleToDpi(design::kFrameWidth, dpi);
  layout.fontHeight = ScaleToDpi(design::kFontHeight, dpi);
  layout.notifierFontHeight = ScaleToDpi(design::kNotifierFontHeight, dpi);
  return layout;
}

platform::Rect CentredIn(const platform::Rect& workArea, int32_t width, int32_t height) {
  const auto start = [](int32_t from, int32_t to, int32_t size) {
    const int64_t room = static_cast<int64_t>(to) - from;
    return room > size ? static_cast<int32_t>(from + (room - size) / 2) : from;
  };
  const int32_t left = start(workArea.left, workArea.right, width);
  const int32_t top = start(workArea.top, workArea.bottom, height);
  return {left, top, left + width, top + height};
}

}  // namespace dormivo
