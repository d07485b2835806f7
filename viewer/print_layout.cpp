#include "viewer/print_layout.h"

#include <algorithm>
#include <utility>

namespace dormivo::viewer {
namespace {

constexpr std::string_view kEllipsis = "...";
const char* const kColumnTitles[] = {"Date-Time", "Event", "Command / Description"};
// Time texts measured at most to find the width of the time column.
constexpr int kTimeSamples = 1000;

DrawItem Text(Rect box, std::string text, Align align, FontStyle style) {
  DrawItem item;
  item.kind = DrawItem::Kind::kText;
  item.box = box;
  item.text = std::move(text);
  item.align = align;
  item.style = style;
  return item;
}

DrawItem Rule(Rect box) {
  DrawItem item;
  item.kind = DrawItem::Kind::kRule;
  item.box = box;
  return item;
}

// Where the parts of a page lie, from the top of the printable area down.
struct Lines {
  int heading;        // top of the heading line
  int headingRule;    // top of the rule under it
  int columns;        // top of the column headings
  int columnRule;     // top of the rule under them
  int entries;        // top of the first entry line
  int footer;         // top of the page number line
  int entriesBottom;  // entry lines end here at the latest
};

Lines LinesOf(const PageSetup& setup) {
  const int lh = std::max(1, setup.lineHeight);
  const int rh = std::max(0, setup.ruleHeight);
  Lines lines{};
  lines.heading = setup.area.top;
  lines.headingRule = lines.heading + lh;
  lines.columns = lines.headingRule + rh + lh / 2;
  lines.columnRule = lines.columns + lh;
  lines.entries = lines.columnRule + rh;
  lines.footer = setup.area.bottom - lh;
  lines.entriesBottom = lines.footer - lh / 2;
  return lines;
}

}  // namespace

std::string FitText(std::string_view text, int width, FontStyle style, const MeasureText& measure,
                    const platform::AnsiText& ansi) {
  if (measure(text, style) <= width)
    return std::string(text);
  // Where a character starts: every byte but the second of a double-byte character.
  std::vector<size_t> ends;
  ends.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const bool lead =
        ansi.IsDBCSLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    i += lead ? 2 : 1;
    ends.push_back(i);
  }
  const auto fits = [&](size_t count) {
    std::string candidate(text.substr(0, count));
    candidate.append(kEllipsis);
    return measure(candidate, style) <= width;
  };
  if (!fits(0))
    return {};
  // The largest number of whole characters that fits with the ellipsis: fits(0) holds, and the
  // whole text (without ellipsis) does not.
  size_t low = 0, high = ends.size();  // ends[k - 1] bytes for k characters; low fits
  while (high - low > 1) {
    const size_t mid = low + (high - low) / 2;
    if (fits(ends[mid - 1]))
      low = mid;
    else
      high = mid;
  }
  std::string out(text.substr(0, low == 0 ? 0 : ends[low - 1]));
  out.append(kEllipsis);
  return out;
}

Rect MarginArea(const PrinterPage& page) {
  constexpr int64_t kMarginTenthsOfMm = 150;
  // kMarginTenthsOfMm at the device's resolution, rounded to the nearest unit (as MulDiv does).
  const auto margin = [](int dpi) {
    return static_cast<int>((kMarginTenthsOfMm * std::max(1, dpi) + 127) / 254);
  };
  const int marginX = margin(page.dpiX);
  const int marginY = margin(page.dpiY);
  const int physicalWidth = std::max(page.width, page.physicalWidth);
  const int physicalHeight = std::max(page.height, page.physicalHeight);
  Rect area;
  area.left = std::max(0, marginX - page.offsetX);
  area.top = std::max(0, marginY - page.offsetY);
  area.right = std::min(page.width, physicalWidth - marginX - page.offsetX);
  area.bottom = std::min(page.height, physicalHeight - marginY - page.offsetY);
  if (area.right <= area.left || area.bottom <= area.top)
    area = {0, 0, page.width, page.height};
  return area;
}

std::array<int, 3> ColumnWidths(const TJvLogRecordList& records, int width, int columnGap,
                                const MeasureText& measure) {
  const int usable = std::max(0, width - 2 * columnGap);
  int timeWidth = measure(kColumnTitles[0], FontStyle::kBold);
  const int count = records.Count();
  const int step = std::max(1, count / kTimeSamples);
  for (int i = 0; i < count; i += step)
    timeWidth = std::max(timeWidth, measure(records[i].Time, FontStyle::kNormal));
  if (count > 0)
    timeWidth = std::max(timeWidth, measure(records[count - 1].Time, FontStyle::kNormal));
  timeWidth = std::min(timeWidth, usable / 4);
  const int rest = usable - timeWidth;
  const int eventWidth = rest * 2 / 5;
  return {timeWidth, eventWidth, rest - eventWidth};
}

PrintLayout::PrintLayout(const TJvLogRecordList& records, PrintHeading heading, PageSetup setup,
                         MeasureText measure, const platform::AnsiText& ansi)
    : records_(records),
      heading_(std::move(heading)),
      setup_(setup),
      measure_(std::move(measure)),
      ansi_(ansi) {
  setup_.lineHeight = std::max(1, setup_.lineHeight);
  const Lines lines = LinesOf(setup_);
  perPage_ = std::max(1, (lines.entriesBottom - lines.entries) / setup_.lineHeight);
  const int count = records_.Count();
  pageCount_ = std::max(1, (count + perPage_ - 1) / perPage_);
}

PrintPage PrintLayout::Page(int number) const {
  PrintPage page;
  page.number = std::clamp(number, 1, pageCount_);
  const Lines lines = LinesOf(setup_);
  const int lh = setup_.lineHeight;
  const int rh = std::max(0, setup_.ruleHeight);
  const Rect& area = setup_.area;
  const int width = area.right - area.left;

  // Heading: the path at the left, the moment of printing at the right; the path gives way.
  const std::string printed = "Printed " + heading_.printedAt;
  const int printedWidth = std::min(width, measure_(printed, FontStyle::kNormal));
  const int pathWidth = std::max(0, width - printedWidth - std::max(setup_.columnGap, lh));
  page.items.push_back(
      Text({area.left, lines.heading, area.left + pathWidth, lines.heading + lh},
           FitText(heading_.filePath, pathWidth, FontStyle::kBold, measure_, ansi_), Align::kLeft,
           FontStyle::kBold));
  page.items.push_back(
      Text({area.right - printedWidth, lines.heading, area.right, lines.heading + lh}, printed,
           Align::kRight, FontStyle::kNormal));
  if (rh > 0)
    page.items.push_back(Rule({area.left, lines.headingRule, area.right, lines.headingRule + rh}));

  // The column boxes, left to right, the last one ending at the right edge at the latest.
  std::array<std::pair<int, int>, 3> columns{};
  int x = area.left;
  for (size_t c = 0; c < 3; ++c) {
    const int right = std::min(area.right, x + std::max(0, setup_.columnWidths[c]));
    columns[c] = {x, right};
    x = std::min(area.right, right + setup_.columnGap);
  }
  for (size_t c = 0; c < 3; ++c) {
    const int w = columns[c].second - columns[c].first;
    page.items.push_back(
        Text({columns[c].first, lines.columns, columns[c].second, lines.columns + lh},
             FitText(kColumnTitles[c], w, FontStyle::kBold, measure_, ansi_), Align::kLeft,
             FontStyle::kBold));
  }
  if (rh > 0)
    page.items.push_back(Rule({area.left, lines.columnRule, area.right, lines.columnRule + rh}));

  const int first = (page.number - 1) * perPage_;
  const int last = std::min(records_.Count(), first + perPage_);
  for (int i = first; i < last; ++i) {
    const TJvLogRecord record = records_[i];
    const std::string_view texts[] = {record.Time, record.Title, record.Description};
    const int top = lines.entries + (i - first) * lh;
    for (size_t c = 0; c < 3; ++c) {
      const int w = columns[c].second - columns[c].first;
      page.items.push_back(Text({columns[c].first, top, columns[c].second, top + lh},
                                FitText(texts[c], w, FontStyle::kNormal, measure_, ansi_),
                                Align::kLeft, FontStyle::kNormal));
    }
  }

  page.items.push_back(
      Text({area.left, lines.footer, area.right, lines.footer + lh},
           "Page " + std::to_string(page.number) + " of " + std::to_string(pageCount_),
           Align::kCenter, FontStyle::kNormal));
  return page;
}

}  // namespace dormivo::viewer
