// The fakes of every platform service the cleaning stage reaches, bundled for its tests.
#pragma once

#include <string>
#include <vector>

#include "cleaning/uFunction.h"
#include "tests/fakes/fake_com.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace dormivo::testing {

inline constexpr char kTypedUrlsPath[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline constexpr char kShellFoldersPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct CleaningFakes {
  CleaningFakes() {
    shell.SetJournal(&journal);
    urlCache.SetJournal(&journal);
    registry.SetJournal(&journal);
    com.SetJournal(&journal);
  }

  // Index of the first journal line that begins with `prefix`; -1 when there is none.
  int FirstCall(const std::string& prefix) const {
    for (size_t i = 0; i < journal.size(); ++i) {
      if (journal[i].compare(0, prefix.size(), prefix) == 0)
        return static_cast<int>(i);
    }
    return -1;
  }

  std::vector<std::string> journal;  // the calls of shell, URL cache, registry and COM in order
  fakes::FakeShell shell;
  fakes::FakeUrlCache urlCache;
  fakes::FakeRegistry registry;
  fakes::FakeCom com;
  fakes::FakeFileSystem files;
  CleaningPlatform platform{shell, urlCache, registry, com, files};
};

}  // namespace dormivo::testing
