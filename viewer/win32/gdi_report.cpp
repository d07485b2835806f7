#include "viewer/win32/gdi_report.h"

#include <algorithm>

namespace dormivo::viewer {
namespace {

constexpr int kPointSize = 10;

HFONT CreateReportFont(HDC dc, int weight) {
  const int height = -MulDiv(kPointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

}  // namespace

GdiReport::GdiReport(HDC measureDc) : measureDc_(measureDc) {
  normal_ = CreateReportFont(measureDc, FW_NORMAL);
  bold_ = CreateReportFont(measureDc, FW_BOLD);
}

GdiReport::~GdiReport() {
  if (normal_)
    DeleteObject(normal_);
  if (bold_)
    DeleteObject(bold_);
}

int GdiReport::Measure(std::string_view text, FontStyle style) const {
  HGDIOBJ previous = SelectObject(measureDc_, Font(style));
  SIZE extent{};
  GetTextExtentPoint32A(measureDc_, text.data(), static_cast<int>(text.size()), &extent);
  SelectObject(measureDc_, previous);
  return extent.cx;
}

MeasureText GdiReport::Measurer() const {
  return [this](std::string_view text, FontStyle style) { return Measure(text, style); };
}

PageSetup GdiReport::Setup(const TJvLogRecordList& records, const Rect& area) const {
  HGDIOBJ previous = SelectObject(measureDc_, bold_);
  TEXTMETRICA metrics{};
  GetTextMetricsA(measureDc_, &metrics);
  SelectObject(measureDc_, previous);
  const int dpiX = std::max(1, GetDeviceCaps(measureDc_, LOGPIXELSX));
  const int dpiY = std::max(1, GetDeviceCaps(measureDc_, LOGPIXELSY));
  PageSetup setup;
  setup.area = area;
  // A fifth of the text's height between lines.
  setup.lineHeight = std::max(
      1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading + metrics.tmHeight / 5));
  setup.ruleHeight = std::max(1, dpiY / 100);
  setup.columnGap = std::max(1, dpiX / 8);
  setup.columnWidths = ColumnWidths(records, area.right - area.left, setup.columnGap, Measurer());
  return setup;
}

void GdiReport::DrawPage(HDC dc, const PrintPage& page) const {
  const int savedState = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  HBRUSH ink = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  for (const DrawItem& item : page.items) {
    RECT box{item.box.left, item.box.top, item.box.right, item.box.bottom};
    if (item.kind == DrawItem::Kind::kRule) {
      FillRect(dc, &box, ink);
      continue;
    }
    SelectObject(dc, Font(item.style));
    int x = box.left;
    if (item.align != Align::kLeft) {
      const int width = Measure(item.text, item.style);
      x = item.align == Align::kRight ? box.right - width
                                      : box.left + (box.right - box.left - width) / 2;
    }
    ExtTextOutA(dc, x, box.top, ETO_CLIPPED, &box, item.text.data(),
                static_cast<UINT>(item.text.size()), nullptr);
  }
  RestoreDC(dc, savedState);
}

Rect PrintableArea(HDC printer) {
  PrinterPage page;
  page.dpiX = GetDeviceCaps(printer, LOGPIXELSX);
  page.dpiY = GetDeviceCaps(printer, LOGPIXELSY);
  page.width = GetDeviceCaps(printer, HORZRES);
  page.height = GetDeviceCaps(printer, VERTRES);
  page.offsetX = GetDeviceCaps(printer, PHYSICALOFFSETX);
  page.offsetY = GetDeviceCaps(printer, PHYSICALOFFSETY);
  page.physicalWidth = GetDeviceCaps(printer, PHYSICALWIDTH);
  page.physicalHeight = GetDeviceCaps(printer, PHYSICALHEIGHT);
  return MarginArea(page);
}

bool PrintDocument(HDC printer, const std::string& title, const PrintLayout& layout,
                   const GdiReport& report, DWORD* error) {
  DOCINFOA document{};
  document.cbSize = sizeof document;
  document.lpszDocName = title.c_str();
  if (StartDocA(printer, &document) <= 0) {
    *error = GetLastError();
    return false;
  }
  for (int number = 1; number <= layout.PageCount(); ++number) {
    if (StartPage(printer) <= 0) {
      *error = GetLastError();
      AbortDoc(printer);
      return false;
    }
    report.DrawPage(printer, layout.Page(number));
    if (EndPage(printer) <= 0) {
      *error = GetLastError();
      AbortDoc(printer);
      return false;
    }
  }
  if (EndDoc(printer) <= 0) {
    *error = GetLastError();
    return false;
  }
  return true;
}

}  // namespace dormivo::viewer
