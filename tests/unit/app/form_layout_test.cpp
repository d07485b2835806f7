#include "app/form_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace dormivo {
namespace {

std::string Text(const platform::Rect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

TEST(ScaleToDpi, RoundsToTheNearestPixelHalvesAwayFromZero) {
  struct Row {
    const char* name;
    int32_t value;
    uint32_t dpi;
    int32_t scaled;
  };
  const Row rows[] = {
      {"100 % keeps the value", 474, 96, 474},
      {"200 % doubles", 127, 192, 254},
      {"150 % of an even value", 474, 144, 711},
      {"150 % of an odd value rounds the half up", 127, 144, 191},
      {"125 % rounds down below the half", 9, 120, 11},
      {"125 % rounds a half up", 10, 120, 13},
      {"125 % rounds up above the half", 15, 120, 19},
      {"175 %", 120, 168, 210},
      {"below 100 %", 25, 72, 19},
      {"a negative value rounds its half away from zero", -127, 144, -191},
      {"zero stays zero", 0, 192, 0},
      {"an unknown DPI of 0 counts as 96", 474, 0, 474},
      {"the product does not overflow 32 bits", 1000000000, 192, 2000000000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ScaleToDpi(row.value, row.dpi), row.scaled);
  }
}

TEST(FormLayout, At200PercentEverySizeAndPositionIsDoubled) {
  const FormLayout layout = LayoutForDpi(192);
  EXPECT_EQ(layout.dpi, 192u);
  EXPECT_EQ(layout.clientWidth, 948);
  EXPECT_EQ(layout.clientHeight, 254);
  EXPECT_EQ(layout.frameWidth, 12);
  EXPECT_EQ(layout.fontHeight, 22);
  EXPECT_EQ(layout.notifierFontHeight, 30);
  struct Row {
    design::Control control;
    platform::Rect bounds;
  };
  // The design's positions are inside the 6-pixel frame: (6 + left) × 2 and so on.
  const Row rows[] = {
      {design::kLbNotifier, {44, 52, 910, 88}},    {design::kProgressM, {44, 108, 910, 140}},
      {design::kBtnActivate, {76, 172, 316, 222}}, {design::kBtnDelay, {356, 172, 596, 222}},
      {design::kBtnCancel, {636, 172, 876, 222}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.control.name);
    EXPECT_EQ(Text(layout.Bounds(row.control)), Text(row.bounds));
  }
}

TEST(FormLayout, AtEveryDpiTheControlsKeepTheDesignsProportions) {
  struct Row {
    const char* name;
    uint32_t dpi;
  };
  const Row rows[] = {{"100 %", 96},  {"125 %", 120}, {"150 %", 144},
                      {"175 %", 168}, {"200 %", 192}, {"300 %", 288}};
  const design::Control controls[] = {design::kLbAppName, design::kLbNotifier,
                                      design::kProgressM, design::kBtnActivate,
                                      design::kBtnDelay,  design::kBtnCancel};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const FormLayout layout = LayoutForDpi(row.dpi);
    const double factor = row.dpi / 96.0;
    EXPECT_NEAR(layout.clientWidth, design::kClientWidth * factor, 0.5);
    EXPECT_NEAR(layout.clientHeight, design::kClientHeight * factor, 0.5);
    for (const design::Control& c : controls) {
      SCOPED_TRACE(c.name);
      const platform::Rect r = layout.Bounds(c);
      // Each edge within half a pixel of the exact scaled design, so a size is off by at most 1.
      EXPECT_NEAR(r.left, (design::kFrameWidth + c.left) * factor, 0.5);
      EXPECT_NEAR(r.top, (design::kFrameWidth + c.top) * factor, 0.5);
      EXPECT_NEAR(r.right - r.left, c.width * factor, 1.0);
      EXPECT_NEAR(r.bottom - r.top, c.height * factor, 1.0);
      // Inside the frame.
      EXPECT_GE(r.left, layout.frameWidth);
      EXPECT_LE(r.right, layout.clientWidth - layout.frameWidth);
      EXPECT_LE(r.bottom, layout.clientHeight - layout.frameWidth);
    }
    // The three buttons stay one row with equal gaps.
    const platform::Rect a = layout.Bounds(design::kBtnActivate);
    const platform::Rect d = layout.Bounds(design::kBtnDelay);
    const platform::Rect c = layout.Bounds(design::kBtnCancel);
    EXPECT_EQ(a.top, d.top);
    EXPECT_EQ(d.top, c.top);
    EXPECT_NEAR(d.left - a.right, c.left - d.right, 1);
  }
}

TEST(FormLayout, At100PercentItIsTheDesign) {
  const FormLayout layout = LayoutForDpi(96);
  EXPECT_EQ(layout.clientWidth, design::kClientWidth);
  EXPECT_EQ(layout.clientHeight, design::kClientHeight);
  EXPECT_EQ(layout.fontHeight, design::kFontHeight);
  EXPECT_EQ(layout.notifierFontHeight, design::kNotifierFontHeight);
  const platform::Rect cancel = layout.Bounds(design::kBtnCancel);
  EXPECT_EQ(Text(cancel), Text({318, 86, 438, 111}));
}

TEST(CentredIn, CentresInTheWorkAreaOfTheMonitor) {
  struct Row {
    const char* name;
    platform::Rect workArea;
    int32_t width;
    int32_t height;
    platform::Rect placed;
  };
  const Row rows[] = {
      {"primary monitor", {0, 0, 1280, 1024}, 474, 127, {403, 448, 877, 575}},
      {"work area above a taskbar", {0, 0, 1920, 1040}, 474, 127, {723, 456, 1197, 583}},
      {"work area beside a taskbar on the left",
       {60, 0, 1920, 1080},
       474,
       127,
       {753, 476, 1227, 603}},
      {"monitor right of the primary", {1920, 0, 3840, 1080}, 948, 254, {2406, 413, 3354, 667}},
      {"monitor left of and above the primary",
       {-1280, -1024, 0, 0},
       474,
       127,
       {-877, -576, -403, -449}},
      {"odd room rounds towards the left and top",
       {0, 0, 1001, 500},
       474,
       127,
       {263, 186, 737, 313}},
      {"exactly as large as the work area", {100, 50, 574, 177}, 474, 127, {100, 50, 574, 177}},
      {"wider than the work area keeps the left edge",
       {1920, 0, 2720, 600},
       948,
       254,
       {1920, 173, 2868, 427}},
      {"taller than the work area keeps the top edge",
       {0, -200, 1024, 0},
       474,
       254,
       {275, -200, 749, 54}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Text(CentredIn(row.workArea, row.width, row.height)), Text(row.placed));
  }
}

}  // namespace
}  // namespace dormivo
