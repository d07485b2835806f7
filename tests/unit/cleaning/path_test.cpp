#include <gtest/gtest.h>

#include "cleaning/uFunction.h"

namespace dormivo {
namespace {

TEST(AddTrailingBackslash, AddsOneBackslashOnlyWhenMissing) {
  struct Row {
    const char* path;
    const char* expected;
  };
  const Row rows[] = {
      {"C:\\Program Files\\Dormivo", "C:\\Program Files\\Dormivo\\"},
      {"C:\\Program Files\\Dormivo\\", "C:\\Program Files\\Dormivo\\"},
      {"C:\\", "C:\\"},
      {"", "\\"},
      {"dir/", "dir/\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(AddTrailingBackslash(row.path), row.expected);
  }
}

}  // namespace
}  // namespace dormivo
