// The record list: its texts stay right through any mix of additions and deletions, however the
// storage behind them is arranged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "storage/JvLogFile.h"
#include "tests/unit/storage/log_test_support.h"

namespace dormivo {
namespace {

using logtest::Entries;
using logtest::Entry;

std::string Text(std::mt19937& random, size_t maxSize) {
  std::uniform_int_distribution<size_t> size(0, maxSize);
  std::uniform_int_distribution<int> letter('a', 'z');
  std::string text(size(random), ' ');
  for (char& c : text) c = static_cast<char>(letter(random));
  return text;
}

TEST(LogRecordList, KeepsEveryTextThroughAdditionsAndDeletions) {
  std::mt19937 random(20260314);
  TJvLogRecordList list;
  std::vector<Entry> model;
  for (int step = 0; step < 6000; ++step) {
    SCOPED_TRACE(step);
    const int op = std::uniform_int_distribution<int>(0, 99)(random);
    if (op < 60 || model.empty()) {
      // Mostly short texts, now and then a long one.
      const size_t maxSize = op % 10 == 0 ? 20000 : 40;
      Entry e{Text(random, maxSize), Text(random, maxSize), Text(random, maxSize)};
      list.Add(e.time, e.title, e.description);
      model.push_back(e);
    } else if (op < 85) {
      const int index = std::uniform_int_distribution<int>(0, list.Count() - 1)(random);
      list.Delete(index);
      model.erase(model.begin() + index);
    } else if (op < 99) {
      const int count = std::uniform_int_distribution<int>(0, list.Count())(random);
      list.DeleteOldest(count);
      model.erase(model.begin(), model.begin() + count);
    } else {
      list.Clear();
      model.clear();
    }
    ASSERT_EQ(Entries(list), model);
  }
}

TEST(LogRecordList, TextOfTheRecordsReadsBackToTheSameRecords) {
  std::mt19937 random(7);
  TJvLogRecordList list;
  for (int i = 0; i < 300; ++i) {
    std::string title = Text(random, 12);
    if (i % 3 == 0)
      title.insert(title.size() / 2, i % 2 ? ">" : ">>>");
    // A description that begins with ">" does not survive reading; these never do.
    list.Add(Text(random, 20), title, "d" + Text(random, 30) + (i % 5 == 0 ? ">[x]" : ""));
  }
  std::string text;
  list.WriteText(text);
  EXPECT_EQ(text.size(), list.TextSize());
  EXPECT_EQ(Entries(TJvLogRecordList::FromText(text)), Entries(list));
}

TEST(LogRecordList, IndexOutOfBoundsIsAnError) {
  TJvLogRecordList list;
  list.Add("t", "a", "b");
  for (const int index : {-1, 1}) {
    SCOPED_TRACE(index);
    try {
      (void)list[index];
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
    }
  }
}

}  // namespace
}  // namespace dormivo
