// The file system contract, held by the fake.
#include "tests/contract/file_system_contract.h"
#include "tests/fakes/fake_file_system.h"

namespace dormivo::contract {
namespace {

class FakeHarness final : public FileSystemHarness {
 public:
  FakeHarness() { fs_.AddFolder("C:\\scratch"); }
  platform::FileSystem& Fs() override { return fs_; }
  std::string Folder() override { return "C:\\scratch\\"; }
  void MakeFile(const std::string& path, const std::string& content, uint32_t attributes) override {
    fs_.AddFile(path, content, attributes);
  }
  void MakeFolder(const std::string& path) override { fs_.AddFolder(path); }

 private:
  fakes::FakeFileSystem fs_;
};

INSTANTIATE_TEST_SUITE_P(Fake, FileSystemContract,
                         ::testing::Values(HarnessFactory{
                             "Fake", [] { return std::make_unique<FakeHarness>(); }}),
                         HarnessName);

}  // namespace
}  // namespace dormivo::contract
