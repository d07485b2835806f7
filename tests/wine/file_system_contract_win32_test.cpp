// The file system contract, held by the real Windows layer.
#include <fstream>

#include "platform/win32/file_system_win32.h"
#include "tests/contract/file_system_contract.h"
#include "tests/wine/wine_support.h"

namespace dormivo::contract {
namespace {

class Win32Harness final : public FileSystemHarness {
 public:
  platform::FileSystem& Fs() override { return fs_; }
  std::string Folder() override { return folder_.Path(); }
  void MakeFile(const std::string& path, const std::string& content, uint32_t attributes) override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    SetFileAttributesA(path.c_str(), attributes);
  }
  void MakeFolder(const std::string& path) override { CreateDirectoryA(path.c_str(), nullptr); }

 private:
  winetest::ScratchFolder folder_;
  platform::Win32FileSystem fs_;
};

INSTANTIATE_TEST_SUITE_P(Win32, FileSystemContract,
                         ::testing::Values(HarnessFactory{
                             "Win32", [] { return std::make_unique<Win32Harness>(); }}),
                         HarnessName);

}  // namespace
}  // namespace dormivo::contract
