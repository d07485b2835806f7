// Timing of the task log on a large Log.dat left by another program, beside a plain read and
// write of the same bytes. Each run measures one thing in a process of its own, so that the peak
// memory it reports belongs to that thing alone.
//   log_bench generate <path> <bytes>  writes a log of about that many bytes
//   log_bench plain <path> <copy>      reads the file whole, writes it to <copy>, flushes it
//   log_bench log <path>               the executor's use: load, add one entry trimmed to 1000
//                                      bytes, save, close
//   log_bench load <path>              the executor's log step up to its load of the file
//   log_bench viewer <path>            the log viewer's read of the file into its rows
//   log_bench csv <path> <csv>         the log viewer's export of the file as CSV
// Prints "seconds=<s> peak_kib=<peak resident memory> start_kib=<before the work>".
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/clock_locale.h"
#include "platform/file_system.h"
#include "platform/win_constants.h"
#include "storage/JvLogFile.h"
#include "viewer/log_model.h"
#include "viewer/log_view.h"

namespace {

using dormivo::platform::Handle;
using dormivo::platform::kInvalidHandle;
namespace win = dormivo::win;

// The file interface over POSIX calls, as far as the log uses it: sharing is not enforced.
class PosixFileSystem final : public dormivo::platform::FileSystem {
 public:
  Handle CreateFileA(const std::string& path, uint32_t access, uint32_t, uint32_t disposition,
                     uint32_t) override {
    int flags = O_CLOEXEC;
    const bool reads = access & win::kGenericRead, writes = access & win::kGenericWrite;
    flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    if (disposition == win::kCreateAlways)
      flags |= O_CREAT | O_TRUNC;
    else if (disposition == win::kCreateNew)
      flags |= O_CREAT | O_EXCL;
    else if (disposition == win::kOpenAlways)
      flags |= O_CREAT;
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
      Fail();
      return kInvalidHandle;
    }
    return static_cast<Handle>(fd);
  }
  bool ReadFile(Handle file, void* buffer, uint32_t size, uint32_t* done) override {
    const ssize_t got = ::read(static_cast<int>(file), buffer, size);
    *done = got > 0 ? static_cast<uint32_t>(got) : 0;
    return got >= 0 || Fail();
  }
  bool WriteFile(Handle file, const void* buffer, uint32_t size, uint32_t* done) override {
    *done = 0;
    while (*done < size) {
      const ssize_t put =
          ::write(static_cast<int>(file), static_cast<const char*>(buffer) + *done, size - *done);
      if (put <= 0)
        return Fail();
      *done += static_cast<uint32_t>(put);
    }
    return true;
  }
  bool GetFileSizeEx(Handle file, uint64_t* size) override {
    struct stat info {};
    if (::fstat(static_cast<int>(file), &info) != 0)
      return Fail();
    *size = static_cast<uint64_t>(info.st_size);
    return true;
  }
  bool FlushFileBuffers(Handle file) override {
    return ::fsync(static_cast<int>(file)) == 0 || Fail();
  }
  bool CloseHandle(Handle handle) override {
    return ::close(static_cast<int>(handle)) == 0 || Fail();
  }
  Handle FindFirstFileA(const std::string& pattern, dormivo::platform::FindData* data) override {
    struct stat info {};
    if (::stat(pattern.c_str(), &info) != 0) {
      Fail();
      return kInvalidHandle;
    }
    data->attributes =
        S_ISDIR(info.st_mode) ? win::kFileAttributeDirectory : win::kFileAttributeArchive;
    data->name = pattern.substr(pattern.rfind('/') + 1);
    data->size = static_cast<uint64_t>(info.st_size);
    // Seconds since 1970 as 100 ns steps since 1601.
    data->lastWriteTime = (static_cast<uint64_t>(info.st_mtim.tv_sec) + 11644473600u) * 10000000u +
                          static_cast<uint64_t>(info.st_mtim.tv_nsec) / 100u;
    return 1;
  }
  bool FindNextFileA(Handle, dormivo::platform::FindData*) override {
    error_ = win::kErrorNoMoreFiles;
    return false;
  }
  bool FindClose(Handle) override { return true; }
  bool DeleteFileA(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 || Fail();
  }
  bool RemoveDirectoryA(const std::string& path) override {
    return ::rmdir(path.c_str()) == 0 || Fail();
  }
  bool MoveFileExA(const std::string& from, const std::string& to, uint32_t) override {
    return ::rename(from.c_str(), to.c_str()) == 0 || Fail();
  }
  std::string GetFullPathNameA(const std::string& path) override { return path; }
  uint32_t GetLastError() override { return error_; }
  std::string FormatMessageA(uint32_t id) override { return "error " + std::to_string(id); }

 private:
  bool Fail() {
    error_ = errno == ENOENT   ? win::kErrorFileNotFound
             : errno == EACCES ? win::kErrorAccessDenied
             : errno == EEXIST ? win::kErrorFileExists
             : errno == ENOSPC ? win::kErrorDiskFull
                               : win::kErrorWriteFault;
    return false;
  }
  uint32_t error_ = 0;
};

// A fixed moment in a United States locale.
class BenchClock final : public dormivo::platform::ClockLocale {
 public:
  void GetLocalTime(dormivo::platform::SystemTime* time) override {
    *time = dormivo::platform::SystemTime{2026, 3, 6, 14, 21, 5, 7, 0};
  }
  dormivo::platform::LocaleId GetThreadLocale() override { return 0x0409; }
  std::optional<std::string> GetLocaleInfoA(dormivo::platform::LocaleId, uint32_t lcType) override {
    switch (lcType) {
      case win::kLocaleSShortDate:
        return "M/d/yyyy";
      case win::kLocaleSDate:
        return "/";
      case win::kLocaleSTime:
        return ":";
      case win::kLocaleS1159:
        return "AM";
      case win::kLocaleS2359:
        return "PM";
      default:
        return "0";
    }
  }
  bool FileTimeToLocalFileTime(uint64_t fileTime, uint64_t* local) override {
    *local = fileTime;
    return true;
  }
};

long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Generate(const char* path, size_t bytes) {
  static const char* const kTitles[] = {"Nightly backup",
                                        "Build > Deploy",
                                        "Weekly cleanup",
                                        "Render queue finished",
                                        "Downloads",
                                        "Shutdown after "
                                        "copying the holiday photos to the file server"};
  static const char* const kActions[] = {"Power Off", "Restart", "Hibernate",
                                         "Standby",   "Log out", "Lock Work Station"};
  std::string text;
  text.reserve(bytes + 256);
  unsigned n = 0;
  while (text.size() < bytes) {
    char line[256];
    const unsigned hour = n % 12 + 1, minute = n % 60, second = (n / 7) % 60;
    std::string title = kTitles[n % 6];
    std::string escaped;
    for (const char c : title) escaped += c == '>' ? ">>" : std::string(1, c);
    std::snprintf(line, sizeof line, "[%u/%u/2025 %u:%02u:%02u %s]%s %u>%s\r\n", n % 12 + 1,
                  n % 28 + 1, hour, minute, second, n % 2 ? "PM" : "AM", escaped.c_str(), n,
                  kActions[n % 6]);
    text += line;
    ++n;
  }
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr || std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
    std::perror(path);
    return 1;
  }
  std::fclose(out);
  std::printf("lines=%u bytes=%zu\n", n, text.size());
  return 0;
}

int Plain(const char* path, const char* copy) {
  PosixFileSystem fs;
  const Handle in = fs.CreateFileA(path, win::kGenericRead, win::kFileShareRead, win::kOpenExisting,
                                   win::kFileAttributeNormal);
  uint64_t size = 0;
  if (in == kInvalidHandle || !fs.GetFileSizeEx(in, &size))
    return 1;
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    uint32_t got = 0;
    if (!fs.ReadFile(in, bytes.data() + done, static_cast<uint32_t>(bytes.size() - done), &got) ||
        got == 0)
      return 1;
    done += got;
  }
  fs.CloseHandle(in);
  const Handle out =
      fs.CreateFileA(copy, win::kGenericWrite, 0, win::kCreateAlways, win::kFileAttributeNormal);
  uint32_t written = 0;
  if (out == kInvalidHandle ||
      !fs.WriteFile(out, bytes.data(), static_cast<uint32_t>(bytes.size()), &written) ||
      !fs.FlushFileBuffers(out) || !fs.CloseHandle(out))
    return 1;
  return 0;
}

int Log(const char* path) {
  PosixFileSystem fs;
  BenchClock clock;
  dormivo::TJvLogFile log(fs, clock);
  log.SetFileName(path);
  log.SetAutoSave(true);
  log.SetActive(true);
  log.SetSizeLimit(1000);
  log.Add("Benchmark entry", "Power Off");
  log.Close();
  return log.Records().Count() > 0 ? 0 : 1;
}

int Load(const char* path) {
  PosixFileSystem fs;
  BenchClock clock;
  dormivo::TJvLogFile log(fs, clock);
  log.SetFileName(path);
  return log.Records().Count() > 0 ? 0 : 1;
}

int Viewer(const char* path) {
  PosixFileSystem fs;
  BenchClock clock;
  dormivo::viewer::LogModel model(fs, clock, path);
  model.Reload();
  return model.State() == dormivo::viewer::LogState::kLoaded && model.RowCount() > 0 ? 0 : 1;
}

int Csv(const char* path, const char* csv) {
  PosixFileSystem fs;
  std::string error;
  const int rc = dormivo::viewer::ExportCsv(fs, path, csv, &error);
  if (rc != 0)
    std::fprintf(stderr, "%s\n", error.c_str());
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4)
    return Generate(argv[2], std::strtoull(argv[3], nullptr, 10));
  const bool onePath = mode == "log" || mode == "load" || mode == "viewer";
  const bool twoPaths = mode == "plain" || mode == "csv";
  if ((twoPaths && argc == 4) || (onePath && argc == 3)) {
    const long start = PeakKib();
    const auto begin = std::chrono::steady_clock::now();
    int rc = 1;
    try {
      rc = mode == "plain"  ? Plain(argv[2], argv[3])
           : mode == "log"  ? Log(argv[2])
           : mode == "load" ? Load(argv[2])
           : mode == "csv"  ? Csv(argv[2], argv[3])
                            : Viewer(argv[2]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    if (rc != 0) {
      std::fprintf(stderr, "%s failed\n", mode.c_str());
      return rc;
    }
    std::printf("seconds=%.4f peak_kib=%ld start_kib=%ld\n", took.count(), PeakKib(), start);
    return 0;
  }
  std::fprintf(stderr,
               "usage: log_bench generate <path> <bytes> | plain <path> <copy> | log <path> | "
               "load <path> | viewer <path> | csv <path> <csv>\n");
  return 2;
}
