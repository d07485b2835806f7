// Times a program's start as a scheduler sees it, for the benchmarks (scripts/bench-start.sh).
//   bench_start <runs> <window class> <log file or -> <command line>
// For each run: deletes the log file (when one is given), starts the command, and measures from
// the CreateProcess call until the program's window of the class exists (it is created right
// before the countdown starts; polled every millisecond), until the log file appears (likewise),
// and until the process ends. Prints one line per run and the medians, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty())
    return -1;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: bench_start runs window-class log-file|- command line...\n");
    return 1;
  }
  const int runs = std::atoi(argv[1]);
  const std::string windowClass = argv[2];
  const std::string log = argv[3];
  std::string commandLine;
  for (int i = 4; i < argc; ++i) {
    if (i > 4)
      commandLine += ' ';
    const std::string arg = argv[i];
    commandLine += arg.find(' ') == std::string::npos ? arg : "\"" + arg + "\"";
  }
  std::vector<double> idle, logged, ended;
  for (int run = 0; run < runs; ++run) {
    if (log != "-")
      DeleteFileA(log.c_str());
    std::string command = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = NowMs();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      std::fprintf(stderr, "cannot start %s: %lu\n", commandLine.c_str(), GetLastError());
      return 2;
    }
    double idleAt = -1;
    while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
      HWND window = FindWindowA(windowClass.c_str(), nullptr);
      DWORD pid = 0;
      if (window)
        GetWindowThreadProcessId(window, &pid);
      if (pid == process.dwProcessId) {
        idleAt = NowMs() - start;
        break;
      }
    }
    double logAt = -1;
    if (log != "-") {
      while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        if (GetFileAttributesA(log.c_str()) != INVALID_FILE_ATTRIBUTES) {
          logAt = NowMs() - start;
          break;
        }
      }
      if (logAt < 0 && GetFileAttributesA(log.c_str()) != INVALID_FILE_ATTRIBUTES)
        logAt = NowMs() - start;
    }
    WaitForSingleObject(process.hProcess, 120000);
    const double endAt = NowMs() - start;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::printf(
        "run %d: running after %.1f ms, log after %.1f ms (%.1f ms after running), "
        "ended after %.1f ms, exit code %lu\n",
        run + 1, idleAt, logAt, logAt < 0 ? -1.0 : logAt - idleAt, endAt, code);
    idle.push_back(idleAt);
    if (logAt >= 0)
      logged.push_back(logAt);
    ended.push_back(endAt);
  }
  std::vector<double> logAfterIdle;
  for (size_t i = 0; i < logged.size() && i < idle.size(); ++i)
    logAfterIdle.push_back(logged[i] - idle[i]);
  std::printf(
      "median: running after %.1f ms, log after %.1f ms (%.1f ms after running), ended "
      "after %.1f ms\n",
      Median(idle), Median(logged), Median(logAfterIdle), Median(ended));
  return 0;
}
