// Behaviour of the file system interface that the core relies on, checked against the fake
// (natively) and against the real Windows layer (under Wine) by the same tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/file_system.h"

namespace dormivo::contract {

// A file system with an empty scratch folder in it.
class FileSystemHarness {
 public:
  virtual ~FileSystemHarness() = default;
  virtual platform::FileSystem& Fs() = 0;
  // The scratch folder, ending in a backslash.
  virtual std::string Folder() = 0;
  virtual void MakeFile(const std::string& path, const std::string& content,
                        uint32_t attributes) = 0;
  virtual void MakeFolder(const std::string& path) = 0;
};

struct HarnessFactory {
  std::string name;
  std::function<std::unique_ptr<FileSystemHarness>()> make;
};

// Names the instantiation in test names and failure messages.
inline void PrintTo(const HarnessFactory& factory, std::ostream* os) {
  *os << factory.name;
}
inline std::string HarnessName(const ::testing::TestParamInfo<HarnessFactory>& info) {
  return info.param.name;
}

class FileSystemContract : public ::testing::TestWithParam<HarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam().make(); }
  void TearDown() override { harness_.reset(); }
  platform::FileSystem& fs() { return harness_->Fs(); }
  std::string Path(const std::string& name) { return harness_->Folder() + name; }

  std::unique_ptr<FileSystemHarness> harness_;
};

}  // namespace dormivo::contract
