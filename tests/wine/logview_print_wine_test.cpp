// The printed report drawn with GDI, checked without a printer: each page of the layout is drawn
// into an enhanced metafile, and the texts recorded there are read back (EnumEnhMetaFile).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/ansi_text_win32.h"
#include "viewer/print_layout.h"
#include "viewer/win32/gdi_report.h"

namespace dormivo {
namespace {

// The texts a metafile draws, in order, without empty ones.
int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM param) {
  auto* texts = reinterpret_cast<std::vector<std::string>*>(param);
  const auto* bytes = reinterpret_cast<const char*>(record);
  if (record->iType == EMR_EXTTEXTOUTW) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* chars = reinterpret_cast<const WCHAR*>(bytes + text->emrtext.offString);
    const int count = static_cast<int>(text->emrtext.nChars);
    std::string narrow(static_cast<size_t>(count) * 2 + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, chars, count, narrow.data(),
                                      static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.resize(static_cast<size_t>(n > 0 ? n : 0));
    if (!narrow.empty())
      texts->push_back(narrow);
  } else if (record->iType == EMR_EXTTEXTOUTA) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
    std::string narrow(bytes + text->emrtext.offString, text->emrtext.nChars);
    if (!narrow.empty())
      texts->push_back(narrow);
  }
  return 1;
}

// A page drawn into a metafile whose reference is the screen, which the report also measures on.
std::vector<std::string> DrawnTexts(const viewer::GdiReport& report,
                                    const viewer::PrintPage& page) {
  HDC metafile = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  if (!metafile)
    return {};
  report.DrawPage(metafile, page);
  HENHMETAFILE drawn = CloseEnhMetaFile(metafile);
  std::vector<std::string> texts;
  EnumEnhMetaFile(nullptr, drawn, CollectText, &texts, nullptr);
  DeleteEnhMetaFile(drawn);
  return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  for (const std::string& t : texts) {
    if (t == text)
      return true;
  }
  return false;
}

TEST(LogViewPrintOnWindows, EveryPageDrawsTheHeadingsItsEntriesAndItsNumber) {
  const std::string longText(400, 'x');
  std::string log;
  constexpr int kEntries = 95;
  for (int i = 0; i < kEntries; ++i) {
    log += "[3/14/2026 9:05:07 PM]Task " + std::to_string(i) + ">" +
           (i == 7 ? longText : std::string("Power Off")) + "\r\n";
  }
  const TJvLogRecordList records = TJvLogRecordList::FromText(log);
  ASSERT_EQ(records.Count(), kEntries);

  HDC screen = CreateCompatibleDC(nullptr);
  ASSERT_NE(screen, nullptr);
  {
    const viewer::GdiReport report(screen);
    platform::Win32AnsiText ansi;
    // A small page, so that the log takes several.
    const viewer::Rect area{20, 20, 620, 620};
    const viewer::PrintLayout layout(records, {"C:\\Tasks\\Log.dat", "3/15/2026 10:00:00 AM"},
                                     report.Setup(records, area), report.Measurer(), ansi);
    const int pages = layout.PageCount();
    ASSERT_GE(pages, 3) << "per page: " << layout.EntriesPerPage();
    EXPECT_EQ(pages, (kEntries + layout.EntriesPerPage() - 1) / layout.EntriesPerPage());

    std::vector<std::string> events;
    bool sawCut = false;
    for (int number = 1; number <= pages; ++number) {
      SCOPED_TRACE("page " + std::to_string(number));
      const std::vector<std::string> texts = DrawnTexts(report, layout.Page(number));
      EXPECT_TRUE(Has(texts, "C:\\Tasks\\Log.dat"));
      EXPECT_TRUE(Has(texts, "Printed 3/15/2026 10:00:00 AM"));
      for (const char* heading : {"Date-Time", "Event", "Command / Description"})
        EXPECT_TRUE(Has(texts, heading)) << heading;
      EXPECT_TRUE(Has(texts, "Page " + std::to_string(number) + " of " + std::to_string(pages)));
      for (const std::string& text : texts) {
        if (text.rfind("Task ", 0) == 0)
          events.push_back(text);
        if (text.size() > 3 && text.compare(text.size() - 3, 3, "...") == 0 && text[0] == 'x') {
          sawCut = true;
          EXPECT_LT(text.size(), longText.size()) << "cut within its column";
          EXPECT_EQ(text.find_first_not_of('x'), text.size() - 3);
        }
      }
      if (number == 1) {
        EXPECT_FALSE(Has(texts, longText)) << "the long description is cut";
      }
    }
    EXPECT_TRUE(sawCut) << "the long description is drawn cut, with an ellipsis";
    ASSERT_EQ(events.size(), static_cast<size_t>(kEntries)) << "one line per entry";
    for (int i = 0; i < kEntries; ++i)
      EXPECT_EQ(events[static_cast<size_t>(i)], "Task " + std::to_string(i));
  }
  DeleteDC(screen);
}

}  // namespace
}  // namespace dormivo
