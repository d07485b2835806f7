#include "platform/scoped_handle.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "platform/win_constants.h"
#include "tests/fakes/fake_com.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_power.h"

namespace dormivo {
namespace {

using platform::ScopedFile;

platform::Handle OpenFile(fakes::FakeFileSystem& fs, const std::string& path) {
  return fs.CreateFileA(path, win::kGenericRead, win::kFileShareRead, win::kOpenExisting,
                        win::kFileAttributeNormal);
}

class ScopedHandleTest : public testing::Test {
 protected:
  void SetUp() override {
    fs.AddFile("C:\\a.txt", "a");
    fs.AddFile("C:\\b.txt", "b");
  }
  size_t Closes() const { return fs.CallsOf("CloseHandle").size(); }

  fakes::FakeFileSystem fs;
};

TEST_F(ScopedHandleTest, ClosesTheHandleOnceWhenItGoesOutOfScope) {
  {
    const ScopedFile file(fs, OpenFile(fs, "C:\\a.txt"));
    EXPECT_TRUE(file.valid());
    EXPECT_TRUE(static_cast<bool>(file));
    EXPECT_EQ(fs.OpenHandleCount(), 1u);
    EXPECT_EQ(Closes(), 0u);
  }
  EXPECT_EQ(fs.OpenHandleCount(), 0u);
  EXPECT_EQ(Closes(), 1u);
}

TEST_F(ScopedHandleTest, ClosesTheHandleOnceWhenAnExceptionPasses) {
  EXPECT_THROW(
      {
        const ScopedFile file(fs, OpenFile(fs, "C:\\a.txt"));
        throw std::runtime_error("passes");
      },
      std::runtime_error);
  EXPECT_EQ(fs.OpenHandleCount(), 0u);
  EXPECT_EQ(Closes(), 1u);
}

TEST_F(ScopedHandleTest, NeverClosesTheValueThatStandsForNoHandle) {
  {
    const ScopedFile failed(fs, OpenFile(fs, "C:\\missing.txt"));
    EXPECT_EQ(failed.get(), platform::kInvalidHandle);
    EXPECT_FALSE(failed.valid());
    EXPECT_FALSE(static_cast<bool>(failed));
    const ScopedFile empty(fs);
    EXPECT_FALSE(empty.valid());
  }
  EXPECT_EQ(Closes(), 0u);
}

TEST_F(ScopedHandleTest, ReleaseGivesTheHandleUpWithoutClosingIt) {
  platform::Handle handle = 0;
  {
    ScopedFile file(fs, OpenFile(fs, "C:\\a.txt"));
    const platform::Handle held = file.get();
    handle = file.release();
    EXPECT_EQ(handle, held);
    EXPECT_FALSE(file.valid());
  }
  EXPECT_EQ(Closes(), 0u);
  EXPECT_EQ(fs.OpenHandleCount(), 1u);
  fs.CloseHandle(handle);
}

TEST_F(ScopedHandleTest, ResetClosesTheOldHandleAndTakesOverTheNewOne) {
  {
    ScopedFile file(fs, OpenFile(fs, "C:\\a.txt"));
    const platform::Handle second = OpenFile(fs, "C:\\b.txt");
    file.reset(second);
    EXPECT_EQ(Closes(), 1u);
    EXPECT_EQ(file.get(), second);
    EXPECT_EQ(fs.OpenHandleCount(), 1u);
    file.reset();
    EXPECT_EQ(Closes(), 2u);
    EXPECT_FALSE(file.valid());
  }
  EXPECT_EQ(Closes(), 2u);
  EXPECT_EQ(fs.OpenHandleCount(), 0u);
}

TEST_F(ScopedHandleTest, MovingHandsTheHandleOnSoItIsClosedOnce) {
  {
    ScopedFile first(fs, OpenFile(fs, "C:\\a.txt"));
    const platform::Handle handle = first.get();
    ScopedFile second(std::move(first));
    EXPECT_FALSE(first.valid());  // a moved-from owner holds none
    EXPECT_EQ(second.get(), handle);
    ScopedFile third(fs, OpenFile(fs, "C:\\b.txt"));
    third = std::move(second);  // closes b.txt, takes a.txt
    EXPECT_EQ(Closes(), 1u);
    EXPECT_EQ(third.get(), handle);
    EXPECT_EQ(fs.OpenHandleCount(), 1u);
    ScopedFile& same = third;
    third = std::move(same);  // a self-move keeps the handle
    EXPECT_EQ(third.get(), handle);
    EXPECT_EQ(Closes(), 1u);
  }
  EXPECT_EQ(Closes(), 2u);
  EXPECT_EQ(fs.OpenHandleCount(), 0u);
}

TEST_F(ScopedHandleTest, ResetLetsAnErrorOfTheCloseThroughAndTheDestructorDropsIt) {
  fs.Throw(fakes::FakeFileSystem::Op::CloseHandle, 0, -1);
  {
    ScopedFile file(fs, OpenFile(fs, "C:\\a.txt"));
    EXPECT_THROW(file.reset(), fakes::InjectedException);
    EXPECT_FALSE(file.valid());  // tried once, never again
  }
  EXPECT_NO_THROW({ const ScopedFile file(fs, OpenFile(fs, "C:\\b.txt")); });
  EXPECT_EQ(Closes(), 2u);
}

TEST(ScopedHandleKinds, EachKindClosesWithItsOwnCall) {
  fakes::FakeFileSystem fs;
  fs.AddFile("C:\\dir\\a.txt");
  {
    platform::FindData entry;
    const platform::ScopedSearch search(fs, fs.FindFirstFileA("C:\\dir\\*.*", &entry));
    ASSERT_TRUE(search.valid());
  }
  EXPECT_EQ(fs.CallsOf("FindClose").size(), 1u);
  EXPECT_EQ(fs.CallsOf("CloseHandle").size(), 0u);
  EXPECT_EQ(fs.OpenHandleCount(), 0u);

  fakes::FakePower power;
  {
    platform::Handle token = 0;
    ASSERT_TRUE(power.OpenProcessToken(power.GetCurrentProcess(), win::kTokenQuery, &token));
    const platform::ScopedToken scoped(power, token);
    EXPECT_EQ(power.OpenTokenCount(), 1u);
  }
  EXPECT_EQ(power.OpenTokenCount(), 0u);

  fakes::FakeCom com;
  com.RegisterClass(platform::kIidIUnknown, {});
  {
    platform::ComInterface object = 0;
    ASSERT_EQ(com.CoCreateInstance(platform::kIidIUnknown, 0, 1, platform::kIidIUnknown, &object),
              0);
    const platform::ScopedInterface scoped(com, object);
    EXPECT_EQ(com.LiveReferences(), 1);
  }
  EXPECT_EQ(com.LiveReferences(), 0);
  EXPECT_EQ(com.Misuses(), 0);
}

}  // namespace
}  // namespace dormivo
