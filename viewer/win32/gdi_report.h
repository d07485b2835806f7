// The printed report drawn with GDI: the fonts and measures of a device (a printer, or an
// enhanced metafile in the tests), the page setup the layout works in, the drawing of one page's
// items, and a whole print job.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/print_layout.h"

namespace dormivo::viewer {

class GdiReport {
 public:
  // Fonts (10 points, normal and bold) for the resolution of `measureDc`, on which the texts are
  // also measured. The device context must outlive the report.
  explicit GdiReport(HDC measureDc);
  ~GdiReport();
  GdiReport(const GdiReport&) = delete;
  GdiReport& operator=(const GdiReport&) = delete;

  // The width of a text in a style, on the measuring device.
  int Measure(std::string_view text, FontStyle style) const;
  MeasureText Measurer() const;
  // The line height, rules, gap and column widths for the records within `area`.
  PageSetup Setup(const TJvLogRecordList& records, const Rect& area) const;
  // Draws one page's items on `dc` (a device of the same resolution as the measuring one).
  void DrawPage(HDC dc, const PrintPage& page) const;

 private:
  HFONT Font(FontStyle style) const { return style == FontStyle::kBold ? bold_ : normal_; }

  HDC measureDc_;
  HFONT normal_ = nullptr;
  HFONT bold_ = nullptr;
};

// The printable part of a printer's page with margins of 15 mm from the paper's edges (or the
// printer's own, where they are wider), in the device's units.
Rect PrintableArea(HDC printer);

// Prints every page of the layout as one document named `title`. False when the job fails; then
// `error` receives the system's error code and the job is abandoned.
bool PrintDocument(HDC printer, const std::string& title, const PrintLayout& layout,
                   const GdiReport& report, DWORD* error);

}  // namespace dormivo::viewer
