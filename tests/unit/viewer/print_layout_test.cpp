// The printed report's pages: how many for N entries, the headings and page number on each,
// the entries in order across the pages, and texts cut with "..." within their column.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/ansi_text.h"
#include "storage/JvLogFile.h"
#include "viewer/print_layout.h"

namespace dormivo::viewer {
namespace {

// A device whose normal characters are 10 units wide and bold ones 12.
int Measure(std::string_view text, FontStyle style) {
  return static_cast<int>(text.size()) * (style == FontStyle::kBold ? 12 : 10);
}

// A double-byte code page: bytes 0x81 to 0x9F lead a character of two bytes.
class DoubleByteText final : public platform::AnsiText {
 public:
  std::string CharUpperBuffA(std::string text) const override { return text; }
  bool IsDBCSLeadByte(unsigned char byte) const override { return byte >= 0x81 && byte <= 0x9F; }
};

// Width 1000, height 1400; the headings take the top, the page number the foot: 65 entry lines.
PageSetup Page1000x1400() {
  PageSetup setup;
  setup.area = Rect{100, 100, 1100, 1500};
  setup.lineHeight = 20;
  setup.ruleHeight = 2;
  setup.columnGap = 10;
  setup.columnWidths = {200, 300, 480};
  return setup;
}
constexpr int kPerPage = 65;

TJvLogRecordList Log(int entries, const std::string& description = "Power Off") {
  TJvLogRecordList records;
  for (int i = 0; i < entries; ++i)
    records.Add("t" + std::to_string(i), "Task " + std::to_string(i), description);
  return records;
}

std::vector<std::string> TextsOf(const PrintPage& page) {
  std::vector<std::string> out;
  for (const DrawItem& item : page.items) {
    if (item.kind == DrawItem::Kind::kText)
      out.push_back(item.text);
  }
  return out;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  for (const std::string& t : texts) {
    if (t == text)
      return true;
  }
  return false;
}

PrintHeading Heading() {
  return PrintHeading{"C:\\Dormivo\\Log.dat", "3/14/2026 9:05:07 PM"};
}

TEST(PrintLayout, NumbersThePagesForTheEntries) {
  struct Row {
    int entries;
    int pages;
  };
  const Row rows[] = {
      {0, 1},    {1, 1}, {kPerPage, 1}, {kPerPage + 1, 2}, {2 * kPerPage, 2}, {2 * kPerPage + 1, 3},
      {1000, 16}};
  const platform::AsciiText ascii;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entries);
    const TJvLogRecordList records = Log(row.entries);
    const PrintLayout layout(records, Heading(), Page1000x1400(), Measure, ascii);
    EXPECT_EQ(layout.EntriesPerPage(), kPerPage);
    EXPECT_EQ(layout.PageCount(), row.pages);
  }
}

TEST(PrintLayout, EveryPageHasTheHeadingsAndItsNumberAndTheEntriesFollowInOrder) {
  const platform::AsciiText ascii;
  const TJvLogRecordList records = Log(140);
  const PrintLayout layout(records, Heading(), Page1000x1400(), Measure, ascii);
  ASSERT_EQ(layout.PageCount(), 3);
  std::vector<std::string> events;
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    const PrintPage page = layout.Page(n);
    EXPECT_EQ(page.number, n);
    const std::vector<std::string> texts = TextsOf(page);
    for (const char* title : {"Date-Time", "Event", "Command / Description"})
      EXPECT_TRUE(Has(texts, title)) << title;
    EXPECT_TRUE(Has(texts, "C:\\Dormivo\\Log.dat"));
    EXPECT_TRUE(Has(texts, "Printed 3/14/2026 9:05:07 PM"));
    // The page number is the last item, centred at the foot of the area.
    const DrawItem& foot = page.items.back();
    EXPECT_EQ(foot.text, "Page " + std::to_string(n) + " of 3");
    EXPECT_EQ(foot.align, Align::kCenter);
    EXPECT_EQ(foot.box, (Rect{100, 1480, 1100, 1500}));
    for (const DrawItem& item : page.items) {
      if (item.kind == DrawItem::Kind::kText && item.text.rfind("Task ", 0) == 0)
        events.push_back(item.text);
    }
  }
  ASSERT_EQ(events.size(), 140u);
  for (int i = 0; i < 140; ++i)
    EXPECT_EQ(events[static_cast<size_t>(i)], "Task " + std::to_string(i));
  // The second page starts with the entry after the first page's last.
  EXPECT_TRUE(Has(TextsOf(layout.Page(2)), "Task 65"));
  EXPECT_FALSE(Has(TextsOf(layout.Page(2)), "Task 64"));
}

TEST(PrintLayout, PlacesEachEntryOnItsLineInItsThreeColumns) {
  const platform::AsciiText ascii;
  const TJvLogRecordList records = Log(2);
  const PrintPage page = PrintLayout(records, Heading(), Page1000x1400(), Measure, ascii).Page(1);
  std::vector<DrawItem> second;
  for (const DrawItem& item : page.items) {
    if (item.text == "t1" || item.text == "Task 1" ||
        (item.text == "Power Off" && item.box.top == 174))
      second.push_back(item);
  }
  ASSERT_EQ(second.size(), 3u);
  // Entries start below the two heading lines and their rules: 100 + 20 + 2 + 10 + 20 + 2.
  EXPECT_EQ(second[0].box, (Rect{100, 174, 300, 194}));
  EXPECT_EQ(second[1].box, (Rect{310, 174, 610, 194}));
  EXPECT_EQ(second[2].box, (Rect{620, 174, 1100, 194}));
  for (const DrawItem& item : page.items) {
    SCOPED_TRACE(item.text);
    EXPECT_GE(item.box.left, 100);
    EXPECT_LE(item.box.right, 1100);
    EXPECT_GE(item.box.top, 100);
    EXPECT_LE(item.box.bottom, 1500);
    if (item.kind == DrawItem::Kind::kText) {
      EXPECT_LE(Measure(item.text, item.style), item.box.right - item.box.left);
    }
  }
}

TEST(PrintLayout, CutsLongTextsWithAnEllipsisWithinTheirColumn) {
  const platform::AsciiText ascii;
  const std::string longText(100, 'x');
  const TJvLogRecordList records = Log(1, longText);
  PrintHeading heading = Heading();
  heading.filePath = "C:\\" + std::string(200, 'p') + "\\Log.dat";
  const PrintPage page = PrintLayout(records, heading, Page1000x1400(), Measure, ascii).Page(1);
  bool description = false, path = false;
  for (const DrawItem& item : page.items) {
    if (item.text.rfind("xxx", 0) == 0) {
      // 480 units hold 48 characters: 45 and the ellipsis.
      EXPECT_EQ(item.text, std::string(45, 'x') + "...");
      description = true;
    }
    if (item.text.rfind("C:\\ppp", 0) == 0) {
      EXPECT_EQ(item.text.substr(item.text.size() - 3), "...");
      EXPECT_LE(Measure(item.text, FontStyle::kBold), item.box.right - item.box.left);
      EXPECT_LE(item.box.right, 1100 - Measure("Printed 3/14/2026 9:05:07 PM", FontStyle::kNormal));
      path = true;
    }
  }
  EXPECT_TRUE(description);
  EXPECT_TRUE(path);
}

TEST(FitText, KeepsWhatFitsCutsTheRestAndNeverSplitsADoubleByteCharacter) {
  struct Row {
    const char* name;
    std::string text;
    int width;
    std::string fitted;
  };
  const Row rows[] = {
      {"fits exactly", "abcde", 50, "abcde"},
      {"one too long", "abcdef", 50, "ab..."},
      {"only the ellipsis fits", "abcdef", 35, "..."},
      {"not even the ellipsis", "abcdef", 29, ""},
      {"empty", "", 0, ""},
      {"a double-byte character is kept whole", "a\x81\x40\x82\x41z", 50, "a..."},
      {"or dropped whole", "\x81\x40\x82\x41zz", 50, "\x81\x40..."},
      {"a lone lead byte at the end", "abcdef\x81", 60, "abc..."},
  };
  const DoubleByteText dbcs;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FitText(row.text, row.width, FontStyle::kNormal, Measure, dbcs), row.fitted);
  }
}

TEST(ColumnWidths, GivesTheTimeColumnItsWidestTextAndSharesTheRest) {
  TJvLogRecordList records;
  records.Add("3/14/2026 9:05:07 PM", "a", "b");  // 20 characters: 200 units
  records.Add("1/1/2026", "c", "d");
  EXPECT_EQ(ColumnWidths(records, 1000, 10, Measure), (std::array<int, 3>{200, 312, 468}));
  // At most a quarter of the width.
  EXPECT_EQ(ColumnWidths(records, 400, 10, Measure), (std::array<int, 3>{95, 114, 171}));
  // An empty log: as wide as its heading in bold.
  EXPECT_EQ(ColumnWidths(TJvLogRecordList{}, 1000, 10, Measure)[0], 108);
}

TEST(PrintLayout, APageTooSmallForAnyEntryStillPrintsOneEntryPerPage) {
  const platform::AsciiText ascii;
  PageSetup setup = Page1000x1400();
  setup.area.bottom = setup.area.top + 60;
  const TJvLogRecordList records = Log(3);
  const PrintLayout layout(records, Heading(), setup, Measure, ascii);
  EXPECT_EQ(layout.EntriesPerPage(), 1);
  EXPECT_EQ(layout.PageCount(), 3);
  EXPECT_TRUE(Has(TextsOf(layout.Page(3)), "Task 2"));
}

TEST(MarginArea, KeepsFifteenMillimetresFromThePapersEdgesWithinThePrintableArea) {
  struct Case {
    const char* name;
    PrinterPage page;
    Rect area;
  };
  // A4 at 600 dpi is 4961 x 7016 units; 15 mm there is 354 units.
  const Case cases[] = {
      {"printable area is the whole paper",
       {600, 600, 4961, 7016, 0, 0, 4961, 7016},
       {354, 354, 4961 - 354, 7016 - 354}},
      {"the printer's own margins of 100 units are narrower",
       {600, 600, 4761, 6816, 100, 100, 4961, 7016},
       {254, 254, 4961 - 354 - 100, 7016 - 354 - 100}},
      {"the printer's own margins of 500 units are wider",
       {600, 600, 3961, 6016, 500, 500, 4961, 7016},
       {0, 0, 3961, 6016}},
      {"another resolution across and down (15 mm at 300 dpi is 177)",
       {300, 600, 2480, 7016, 0, 0, 2480, 7016},
       {177, 354, 2480 - 177, 7016 - 354}},
      {"no paper size given: the printable area stands for it",
       {600, 600, 4961, 7016, 0, 0, 0, 0},
       {354, 354, 4961 - 354, 7016 - 354}},
      {"margins that leave nothing give the whole printable area",
       {600, 600, 500, 500, 0, 0, 500, 500},
       {0, 0, 500, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MarginArea(c.page), c.area);
  }
}

}  // namespace
}  // namespace dormivo::viewer
