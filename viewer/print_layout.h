// The printed report of the log, laid out without any device: a heading with the file's path and
// the moment of printing, the three column headings on each page, one line per entry in file
// order, texts too long for their column cut with "..." inside it, and "Page N of M" at the foot
// of each page. The window layer measures text on the printer's device context and draws what
// each page lists; pages are built one at a time, so a log of a million entries costs no memory
// beyond the page being printed.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ansi_text.h"
#include "storage/JvLogFile.h"

namespace dormivo::viewer {

// Device units (printer pixels); right and bottom are exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect&) const = default;
};

enum class Align { kLeft, kCenter, kRight };
enum class FontStyle { kNormal, kBold };

// One thing to draw. kText: `text` in `box`, aligned within it horizontally and at its top,
// clipped to the box (the text already fits; the clip guards against rounding of the device).
// kRule: a filled rectangle `box` (the lines under the heading and the column headings).
struct DrawItem {
  enum class Kind { kText, kRule };
  Kind kind = Kind::kText;
  Rect box;
  std::string text;
  Align align = Align::kLeft;
  FontStyle style = FontStyle::kNormal;
  bool operator==(const DrawItem&) const = default;
};

struct PrintPage {
  int number = 0;  // 1-based
  std::vector<DrawItem> items;
};

// The width in device units of a text in the given style on the device.
using MeasureText = std::function<int(std::string_view text, FontStyle style)>;

struct PageSetup {
  Rect area;           // the printable part of the page, margins already taken off
  int lineHeight = 0;  // the height of one line of text, spacing included (> 0)
  int ruleHeight = 1;  // thickness of the rules
  int columnGap = 0;   // space between two columns
  // Widths of the columns "Date-Time", "Event", "Command / Description"; see ColumnWidths().
  std::array<int, 3> columnWidths{};
};

struct PrintHeading {
  std::string filePath;   // shown in full at the left of the heading line
  std::string printedAt;  // the moment of printing, shown as "Printed <text>" at the right
};

// A printer's page as the device gives it (GetDeviceCaps), in device units: its resolution, the
// printable area (HORZRES, VERTRES), where that area starts on the paper (PHYSICALOFFSETX/Y) and
// the paper (PHYSICALWIDTH/HEIGHT).
struct PrinterPage {
  int dpiX = 0;
  int dpiY = 0;
  int width = 0;
  int height = 0;
  int offsetX = 0;
  int offsetY = 0;
  int physicalWidth = 0;
  int physicalHeight = 0;
};

// The part of the page inside margins of 15 mm from the paper's edges, in the device coordinates
// of the printable area (which start PHYSICALOFFSET from the paper's corner) and never beyond
// it; the whole printable area when the margins leave nothing.
Rect MarginArea(const PrinterPage& page);

// Column widths for `width` device units: the time column as wide as the widest time text (at
// most a quarter of the width), the rest shared between event (two fifths) and description.
std::array<int, 3> ColumnWidths(const TJvLogRecordList& records, int width, int columnGap,
                                const MeasureText& measure);

// The longest start of `text` that, followed by "...", fits `width` (the text itself when it
// fits whole); never cuts a double-byte character of the code page in half.
std::string FitText(std::string_view text, int width, FontStyle style, const MeasureText& measure,
                    const platform::AnsiText& ansi);

class PrintLayout {
 public:
  // The records, measure and ansi must outlive the layout.
  PrintLayout(const TJvLogRecordList& records, PrintHeading heading, PageSetup setup,
              MeasureText measure, const platform::AnsiText& ansi);

  // Entry lines that fit on one page below the headings and above the page number (at least 1).
  int EntriesPerPage() const { return perPage_; }
  // At least 1: an empty log prints one page with the headings.
  int PageCount() const { return pageCount_; }
  // The page with the 1-based `number`, 1..PageCount().
  PrintPage Page(int number) const;

 private:
  const TJvLogRecordList& records_;
  PrintHeading heading_;
  PageSetup setup_;
  MeasureText measure_;
  const platform::AnsiText& ansi_;
  int perPage_ = 1;
  int pageCount_ = 1;
};

}  // namespace dormivo::viewer
