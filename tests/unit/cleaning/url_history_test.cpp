// ClearUrlHistory: the URL history object and its IUrlHistoryStg2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/UrlHistory.h"
#include "cleaning/uFunction.h"
#include "platform/exception.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_com.h"

namespace dormivo {
namespace {

using fakes::FakeCom;

TEST(ClearUrlHistory, CreatesTheObjectClearsItAndReleasesBothReferences) {
  FakeCom com;
  com.RegisterClass(kClsidCUrlHistory, {kIidIUrlHistoryStg2});
  ClearUrlHistory(com);
  const std::vector<std::string>& calls = com.Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0],
            "CoCreateInstance({3C374A40-BAE4-11CF-BF7D-00AA006946EE},0,5,"
            "{00000000-0000-0000-C000-000000000046})");
  EXPECT_EQ(calls[1], "QueryInterface(1,{AFA0DC11-C313-11D0-831A-00C04FD5AE38})");
  EXPECT_EQ(calls[2], "ClearHistory(2)");
  EXPECT_EQ(com.ClearHistoryCount(), 1);
  EXPECT_EQ(com.LiveReferences(), 0);
  EXPECT_EQ(com.Misuses(), 0);
}

TEST(ClearUrlHistory, IgnoresTheResultOfClearHistory) {
  for (const int32_t result : {win::kENotImpl, win::kEFail, win::kSOk}) {
    SCOPED_TRACE(result);
    FakeCom com;
    com.RegisterClass(kClsidCUrlHistory, {kIidIUrlHistoryStg2});
    com.SetClearHistoryResult(result);
    EXPECT_NO_THROW(ClearUrlHistory(com));
    EXPECT_EQ(com.ClearHistoryCount(), 1);
    EXPECT_EQ(com.LiveReferences(), 0);
  }
}

TEST(ClearUrlHistory, RaisesWhenTheObjectCannotBeMadeOrLacksTheInterface) {
  struct Row {
    const char* name;
    bool registered;
    bool offersStg2;
    int32_t createFailure;
    size_t queries;
  };
  const Row rows[] = {
      {"class not registered", false, false, 0, 0},
      {"COM not initialised", true, true, win::kCoENotInitialized, 0},
      {"no IUrlHistoryStg2", true, false, 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeCom com;
    if (row.registered) {
      com.RegisterClass(kClsidCUrlHistory, row.offersStg2
                                               ? std::vector<platform::Guid>{kIidIUrlHistoryStg2}
                                               : std::vector<platform::Guid>{});
    }
    com.SetCreateFailure(row.createFailure);
    EXPECT_THROW(ClearUrlHistory(com), Exception);
    size_t queries = 0;
    for (const std::string& call : com.Calls()) queries += call.rfind("QueryInterface(", 0) == 0;
    EXPECT_EQ(queries, row.queries);
    EXPECT_EQ(com.ClearHistoryCount(), 0);
    EXPECT_EQ(com.LiveReferences(), 0);
    EXPECT_EQ(com.Misuses(), 0);
  }
}

}  // namespace
}  // namespace dormivo
