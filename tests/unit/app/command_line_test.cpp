#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dormivo {
namespace {

// A code page in which bytes 0x81 to 0x9F and 0xE0 to 0xFC lead a second byte, as Shift JIS does.
class LeadByteText final : public platform::AnsiText {
 public:
  std::string CharUpperBuffA(std::string text) const override { return text; }
  bool IsDBCSLeadByte(unsigned char b) const override {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  }
};

std::vector<std::string> Args(const std::string& line, const platform::AnsiText& codePage) {
  std::vector<std::string> out;
  for (int i = 1; i <= 4; ++i) out.push_back(ParamStr(line, i, "C:\\app\\Notifier.exe", codePage));
  return out;
}

TEST(CommandLine, SplitsByTheExecutorsOwnRule) {
  struct Row {
    const char* name;
    std::string line;
    std::vector<std::string> args;  // arguments 1 to 4
  };
  const Row rows[] = {
      {"program only", "Notifier.exe", {"", "", "", ""}},
      {"empty line", "", {"", "", "", ""}},
      {"three plain", "n.exe 0 Backup -c", {"0", "Backup", "-c", ""}},
      {"quoted program and text",
       "\"C:\\Program Files\\n.exe\" 1 \"Nightly backup\" -c",
       {"1", "Nightly backup", "-c", ""}},
      {"empty quoted argument vanishes", "n.exe 3 \"\" -c", {"3", "-c", "", ""}},
      {"several empty pairs vanish", "n.exe \"\"\"\" 3 x", {"3", "x", "", ""}},
      {"quotes glued to text", "n.exe ab\"c d\"ef g", {"abc def", "g", "", ""}},
      {"quote runs to the end", "n.exe \"a b", {"a b", "", "", ""}},
      {"empty pair inside an argument", "n.exe a\"\"b", {"ab", "", "", ""}},
      {"backslash is ordinary", "n.exe a\\\"b c\" d", {"a\\b c", "d", "", ""}},
      {"tab and control bytes separate", "n.exe\t1\x01two\x1Fthree", {"1", "two", "three", ""}},
      {"runs of separators", "n.exe    7     x  ", {"7", "x", "", ""}},
      {"high bytes belong to arguments", "n.exe \xE9t\xE9 \xA0x", {"\xE9t\xE9", "\xA0x", "", ""}},
      {"fourth and later are kept apart", "n.exe 1 2 3 4 5", {"1", "2", "3", "4"}},
      {"leading blank inside quotes", "n.exe \" 3\" x", {" 3", "x", "", ""}},
      {"unpaired quote at the end ends the line", "n.exe 1 \"", {"1", "", "", ""}},
  };
  const platform::AsciiText ascii;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Args(row.line, ascii), row.args);
  }
}

TEST(CommandLine, ArgumentZeroIsTheModulePath) {
  const platform::AsciiText ascii;
  EXPECT_EQ(ParamStr("typed.exe 1 2", 0, "C:\\real\\Notifier.exe", ascii),
            "C:\\real\\Notifier.exe");
  EXPECT_EQ(ParamStr("typed.exe 1 2", -1, "C:\\real\\Notifier.exe", ascii), "");
}

TEST(CommandLine, StepsOverDoubleByteCharacters) {
  // 0x81 0x20 and 0x81 0x22 are single characters here: their second bytes are neither a
  // separator nor a quote. With a single-byte code page the same bytes split and quote.
  const std::string line = "n.exe a\x81 b \"\x81\"\" c";
  EXPECT_EQ(Args(line, LeadByteText()), (std::vector<std::string>{"a\x81 b", "\x81\"", "c", ""}));
  EXPECT_EQ(Args(line, platform::AsciiText()),
            (std::vector<std::string>{"a\x81", "b", "\x81 c", ""}));
}

TEST(CommandLine, ActionNumberRule) {
  struct Row {
    const char* text;
    int32_t expected;
  };
  const Row rows[] = {
      {"", 5},
      {"0", 0},
      {"2", 2},
      {"7", 7},
      {"9", 9},
      {"0x3", 3},
      {"0X3", 3},
      {"$3", 3},
      {"x3", 3},
      {"X3", 3},
      {"+3", 3},
      {"-1", -1},
      {" 3", 3},
      {"   3", 3},
      {"3 ", 5},
      {"\t3", 5},
      {"3x", 5},
      {"abc", 5},
      {"+-3", 5},
      {"--3", 5},
      {"+", 5},
      {"$", 5},
      {"0x", 5},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"-$10", -16},
      {"$000000001", 1},
      {"$100000000", 5},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"2147483648", 5},
      {"-2147483649", 5},
      {"99999999999999999999", 5},
      {"010", 10},
      {"1.5", 5},
      {"0x3 ", 5},
      {"3 4", 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("\"") + row.text + "\"");
    EXPECT_EQ(ActionIndexFromArgument(row.text), row.expected);
  }
}

TEST(CommandLine, FirstArgumentOfTypicalLines) {
  struct Row {
    const char* line;
    int32_t action;
    const char* title;
    const char* flag;
  };
  const Row rows[] = {
      {"n.exe", 5, "", ""},
      {"n.exe 2", 2, "", ""},
      {"n.exe 3 \"\" -c", 3, "-c", ""},
      {"n.exe \" \"3 t", 3, "t", ""},
      {"n.exe \"3 \" t", 5, "t", ""},
      {"n.exe 0 \"Shut down\" -C", 0, "Shut down", "-C"},
  };
  const platform::AsciiText ascii;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(ActionIndexFromArgument(ParamStr(row.line, 1, "", ascii)), row.action);
    EXPECT_EQ(ParamStr(row.line, 2, "", ascii), row.title);
    EXPECT_EQ(ParamStr(row.line, 3, "", ascii), row.flag);
  }
}

}  // namespace
}  // namespace dormivo
