// LogView.exe end to end under Wine: a copy of the viewer in a throwaway application folder, its
// window read back by another process (tools/read_list_view.exe), the list following Log.dat as
// copies of Notifier.exe log beside it, and the command-line export. The executor runs only
// action 9, which performs nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/logview_resource.h"
#include "tests/wine/wine_support.h"
#include "viewer/win32/log_view_window.h"

namespace dormivo {
namespace {

using winetest::Press;
using winetest::ScratchFolder;

constexpr char kViewerClass[] = "DormivoLogView";
constexpr char kCsvHeader[] = "\"Date-Time\",\"Event\",\"Command / Description\"\r\n";

// Polls `condition` every 50 ms for up to `ms`.
bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
  return winetest::WaitFor(condition, ms, 50);
}

// What another process reads back of the viewer's window.
struct View {
  bool read = false;
  std::string caption;
  std::vector<std::string> buttons;  // "<command id> <text>"
  bool report = false;
  bool ownerData = false;
  bool fullRow = false;
  std::vector<std::string> columns;
  int rows = -1;
  int top = -1;
  int perPage = -1;
  std::vector<std::string> rowTexts;  // "<index>\t<time>\t<title>\t<description>"
  std::vector<std::string> status;
};

View ReadView(const ScratchFolder& folder, int firstRows = 100, int lastRows = 0) {
  View view;
  const std::string output = folder.Path() + "view.txt";
  DeleteFileA(output.c_str());
  const DWORD code = winetest::RunProcess(
      "\"" + winetest::ProgramFolder() + "read_list_view.exe\" " + kViewerClass + " \"" + output +
      "\" " + std::to_string(firstRows) + " " + std::to_string(lastRows));
  if (code != 0)
    return view;
  view.read = true;
  const std::string text = folder.ReadFile("view.txt");
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos)
      end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
      continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "caption")
      view.caption = value;
    else if (key == "button")
      view.buttons.push_back(value);
    else if (key == "report")
      view.report = value == "1";
    else if (key == "ownerdata")
      view.ownerData = value == "1";
    else if (key == "fullrow")
      view.fullRow = value == "1";
    else if (key == "column")
      view.columns.push_back(value);
    else if (key == "rows")
      view.rows = std::stoi(value);
    else if (key == "top")
      view.top = std::stoi(value);
    else if (key == "perpage")
      view.perPage = std::stoi(value);
    else if (key == "row")
      view.rowTexts.push_back(value);
    else if (key == "status")
      view.status.push_back(value);
  }
  return view;
}

struct WindowSearch {
  DWORD pid;
  HWND found;
};

// Every top-level window of a process.
BOOL CALLBACK CountWindows(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid && IsWindowVisible(window))
    search->found = window;
  return TRUE;
}

// A copy of a program of the build in a throwaway application folder.
class Program {
 public:
  Program(const ScratchFolder& folder, const char* name)
      : folder_(folder), exe_(folder.Path() + name) {
    copied_ = CopyFileA((winetest::ProgramFolder() + name).c_str(), exe_.c_str(), FALSE) != FALSE;
  }
  ~Program() {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        if (HWND window = Window())
          PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
          TerminateProcess(process_.hProcess, 99);
      }
      WaitForSingleObject(process_.hProcess, 10000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Start(const std::string& arguments) {
    if (!copied_)
      return false;
    std::string command = "\"" + exe_ + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder_.Path().c_str(), &startup, &process_) != FALSE;
  }
  // The viewer's window, or nullptr.
  HWND Window() const {
    return process_.dwProcessId ? winetest::FindTopLevel(process_.dwProcessId, kViewerClass)
                                : nullptr;
  }
  bool WaitForWindow(DWORD ms) const {
    return WaitFor([this] { return Window() && IsWindowVisible(Window()); }, ms);
  }
  // Whether any visible top-level window of the process exists now.
  bool ShowsAWindow() const {
    WindowSearch search{process_.dwProcessId, nullptr};
    EnumWindows(CountWindows, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }
  // The exit code, or STILL_ACTIVE when the process has not ended within `ms`.
  DWORD Wait(DWORD ms) const {
    if (WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0)
      return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  // The exit code of a program that must show no window while it runs (`ms` at most).
  DWORD WaitWithoutWindow(DWORD ms, bool* showedWindow) const {
    const DWORD from = GetTickCount();
    *showedWindow = false;
    while (GetTickCount() - from < ms) {
      *showedWindow = *showedWindow || ShowsAWindow();
      const DWORD code = Wait(20);
      if (code != STILL_ACTIVE)
        return code;
    }
    return STILL_ACTIVE;
  }

 private:
  const ScratchFolder& folder_;
  std::string exe_;
  bool copied_ = false;
  PROCESS_INFORMATION process_{};
};

std::string Lines(int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i)
    text += "[12/11/2026 9:" + std::to_string(10 + i % 50) + ":00 AM]Task " + std::to_string(i) +
            ">Power Off\r\n";
  return text;
}

TEST(LogViewOnWine, TheWindowShowsTheLogBesideItAsAReportListThatAnotherProgramReadsBack) {
  ScratchFolder folder;
  // Text before "[", a doubled ">", an entry without separator, an LF-only break and a line that
  // is no entry, as the executor's own reading rules take them.
  folder.WriteFile("Log.dat",
                   "[3/14/2026 9:05:07 PM]Build >> Deploy>Restart\r\n"
                   "noise[3/15/2026 8:00:00 AM]Backup>Power Off\n"
                   "not an entry\r\n"
                   "[3/16/2026]No separator\r\n");
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  const View view = ReadView(folder);
  ASSERT_TRUE(view.read);
  EXPECT_NE(view.caption.find(folder.Path() + "Log.dat"), std::string::npos) << view.caption;
  EXPECT_EQ(view.buttons, (std::vector<std::string>{std::to_string(IDM_SAVE) + " Save",
                                                    std::to_string(IDM_PRINT) + " Print"}));
  EXPECT_TRUE(view.report);
  EXPECT_TRUE(view.ownerData) << "a virtual list";
  EXPECT_TRUE(view.fullRow);
  EXPECT_EQ(view.columns,
            (std::vector<std::string>{"Date-Time", "Event", "Command / Description"}));
  EXPECT_EQ(view.rows, 3);
  EXPECT_EQ(view.rowTexts,
            (std::vector<std::string>{"0\t3/14/2026 9:05:07 PM\tBuild > Deploy\tRestart",
                                      "1\t3/15/2026 8:00:00 AM\tBackup\tPower Off",
                                      "2\t3/16/2026\tNo separator\t"}));
  ASSERT_EQ(view.status.size(), 2u);
  EXPECT_EQ(view.status[0], "3 entries");
  EXPECT_FALSE(view.status[1].empty());
}

TEST(LogViewOnWine, AFileNamedOnTheCommandLineIsShownScrolledToItsNewestEntry) {
  ScratchFolder folder;
  folder.WriteFile("Other.log", Lines(0, 300));
  folder.WriteFile("Log.dat", Lines(0, 1));
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start("\"" + folder.Path() + "Other.log\""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  const View view = ReadView(folder, 0, 1);
  ASSERT_TRUE(view.read);
  EXPECT_NE(view.caption.find(folder.Path() + "Other.log"), std::string::npos) << view.caption;
  EXPECT_EQ(view.rows, 300);
  EXPECT_EQ(view.rowTexts,
            (std::vector<std::string>{"299\t12/11/2026 9:59:00 AM\tTask 299\tPower Off"}));
  ASSERT_GT(view.perPage, 0);
  EXPECT_GT(view.top, 0);
  EXPECT_GE(view.top + view.perPage, 300) << "the newest entry is in view";
  EXPECT_LE(view.top, 299);
}

TEST(LogViewOnWine, AMissingLogIsAnEmptyListWithAStatusLineAndTheListFollowsWhenItAppears) {
  ScratchFolder folder;
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  View view = ReadView(folder);
  ASSERT_TRUE(view.read);
  EXPECT_EQ(view.rows, 0);
  ASSERT_EQ(view.status.size(), 2u);
  EXPECT_EQ(view.status[0], "No task has been logged yet");
  EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr) << "no message box";

  folder.WriteFile("Log.dat", Lines(0, 2));
  EXPECT_TRUE(WaitFor([&] { return (view = ReadView(folder)).rows == 2; }, 5000)) << view.rows;
  EXPECT_EQ(view.status[0], "2 entries");
}

TEST(LogViewOnWine, ALogHeldForWritingIsReportedInTheStatusLineAndReadWhenReleased) {
  ScratchFolder folder;
  folder.WriteFile("Log.dat", Lines(0, 4));
  View view;
  Program viewer(folder, "LogView.exe");
  {
    winetest::FileHolder holder(folder.Path() + "Log.dat", "w", 0);
    ASSERT_TRUE(holder.Holding());
    ASSERT_TRUE(viewer.Start(""));
    ASSERT_TRUE(viewer.WaitForWindow(20000));
    view = ReadView(folder);
    ASSERT_TRUE(view.read);
    EXPECT_EQ(view.rows, 0);
    ASSERT_EQ(view.status.size(), 2u);
    EXPECT_NE(view.status[0].find("Log.dat cannot be read at the moment"), std::string::npos)
        << view.status[0];
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr) << "no message box";
  }
  folder.WriteFile("Log.dat", Lines(0, 5));
  EXPECT_TRUE(WaitFor([&] { return (view = ReadView(folder)).rows == 5; }, 5000)) << view.rows;
}

// The executor logs beside the open viewer: every run saves its line (the viewer never holds the
// file), and the list follows each one.
TEST(LogViewOnWine, TheListFollowsEveryRunOfTheExecutorWhileItIsOpen) {
  ScratchFolder folder;
  folder.WriteFile("Settings.dat", "[Settings]\r\nNotifyTimer=1\r\n");
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  constexpr int kRuns = 4;
  for (int run = 1; run <= kRuns; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    Program executor(folder, "Notifier.exe");
    ASSERT_TRUE(executor.Start("9 \"Run " + std::to_string(run) + "\""));
    ASSERT_EQ(executor.Wait(20000), 0u);
    const std::string log = folder.ReadFile("Log.dat");
    int lines = 0;
    for (size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at + 2))
      ++lines;
    EXPECT_EQ(lines, run) << "every run logged:\n" << log;
    // The viewer looks twice a second; each read back starts another process, which takes part
    // of the time allowed here.
    View view;
    EXPECT_TRUE(WaitFor([&] { return (view = ReadView(folder, 0, 1)).rows == run; }, 5000))
        << view.rows;
    ASSERT_EQ(view.rowTexts.size(), 1u);
    EXPECT_NE(view.rowTexts[0].find("\tRun " + std::to_string(run) + "\tPower Off"),
              std::string::npos)
        << view.rowTexts[0];
  }
}

TEST(LogViewOnWine, A64MiBLogListsEveryEntry) {
  ScratchFolder folder;
  // About 1.6 million entries of 41 or 42 bytes.
  std::string text;
  text.reserve(64u << 20);
  int entries = 0;
  while (text.size() < (64u << 20)) {
    text += "[12/11/2026 9:05:07 AM]Task " + std::to_string(entries % 100000) + ">Power Off\r\n";
    ++entries;
  }
  folder.WriteFile("Log.dat", text);
  text.clear();
  text.shrink_to_fit();
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(90000));
  const View view = ReadView(folder, 1, 1);
  ASSERT_TRUE(view.read);
  EXPECT_EQ(view.rows, entries);
  EXPECT_EQ(view.rowTexts.size(), 2u);
  ASSERT_EQ(view.status.size(), 2u);
  EXPECT_EQ(view.status[0], std::to_string(entries) + " entries");
}

// The top-level dialogs ("#32770") of a process.
struct DialogSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK FindDialogs(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (pid == search->pid && std::string(name) == "#32770" && IsWindowVisible(window))
    search->found.push_back(window);
  return TRUE;
}

// The first visible dialog of the viewer's process for which `test` holds.
HWND DialogOf(HWND viewer, const std::function<bool(HWND)>& test) {
  DialogSearch search{0, {}};
  GetWindowThreadProcessId(viewer, &search.pid);
  EnumWindows(FindDialogs, reinterpret_cast<LPARAM>(&search));
  for (HWND dialog : search.found) {
    if (test(dialog))
      return dialog;
  }
  return nullptr;
}

// The file name box of the system's Save dialog (a combo box, or an edit box in the older
// dialog).
HWND FileNameBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, 0x47c);          // cmb13
  return box ? box : GetDlgItem(dialog, 0x480);  // edt1
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  char text[1024] = {};
  GetWindowTextA(child, text, sizeof text);
  if (std::string(name) == "Static" && text[0])
    *reinterpret_cast<std::string*>(param) += text;
  return TRUE;
}

// Saves through the toolbar's Save (Ctrl+S) and the system's dialog, typing `path` into it.
// Returns the dialog that was used, or nullptr when it did not appear.
HWND SaveThroughDialog(HWND viewer, const std::string& path) {
  PostMessageA(viewer, WM_COMMAND, IDM_SAVE, 0);
  HWND dialog = nullptr;
  WaitFor(
      [&] {
        dialog = DialogOf(viewer, [](HWND d) { return FileNameBox(d) != nullptr; });
        return dialog != nullptr;
      },
      10000);
  if (!dialog)
    return nullptr;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                      SMTO_NORMAL, 5000, &result);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return dialog;
}

TEST(LogViewOnWine, SaveWritesTheCsvToTheFileChosenInTheSystemsDialog) {
  ScratchFolder folder;
  folder.WriteFile("Log.dat", "[3/14/2026 9:05:07 PM]Backup \"x\">+1\r\n");
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  HWND dialog = SaveThroughDialog(viewer.Window(), folder.Path() + "saved.csv");
  ASSERT_NE(dialog, nullptr) << "the Save dialog appeared";
  const std::string expected =
      std::string(kCsvHeader) + "\"3/14/2026 9:05:07 PM\",\"Backup \"\"x\"\"\",\"'+1\"\r\n";
  EXPECT_TRUE(WaitFor([&] { return folder.ReadFile("saved.csv") == expected; }, 10000))
      << folder.ReadFile("saved.csv");
}

TEST(LogViewOnWine, CtrlSSavesCtrlPPrintsAndF5ReadsTheFileAnew) {
  ScratchFolder folder;
  const std::string path = folder.Path() + "Log.dat";
  folder.WriteFile("Log.dat", Lines(0, 3));
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  HWND window = viewer.Window();
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 5000))
      << "the viewer has the keyboard";

  // F5: a change that keeps the file's size and time is one that only F5 finds.
  WIN32_FILE_ATTRIBUTE_DATA before{};
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &before));
  std::string changed = Lines(0, 3);
  changed.replace(changed.find("Task 1"), 6, "Task X");
  folder.WriteFile("Log.dat", changed);
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFileTime(file, nullptr, nullptr, &before.ftLastWriteTime);
  CloseHandle(file);
  Sleep(3 * viewer::LogViewWindow::kPollMs);
  View view = ReadView(folder);
  ASSERT_EQ(view.rowTexts.size(), 3u);
  EXPECT_NE(view.rowTexts[1].find("\tTask 1\t"), std::string::npos) << "not read again yet";
  Press(VK_F5);
  EXPECT_TRUE(WaitFor(
      [&] {
        view = ReadView(folder);
        return view.rowTexts.size() == 3 &&
               view.rowTexts[1].find("\tTask X\t") != std::string::npos;
      },
      5000));

  // Ctrl+S: the Save dialog, cancelled.
  Press('S', VK_CONTROL);
  HWND save = nullptr;
  EXPECT_TRUE(WaitFor(
      [&] { return (save = DialogOf(window, [](HWND d) { return FileNameBox(d) != nullptr; })); },
      10000));
  if (save) {
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(save, IDCANCEL)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(save); }, 10000));
  }
  // Ctrl+P: the Print dialog, or where the system has no printer its message saying so.
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 5000));
  Press('P', VK_CONTROL);
  HWND print = nullptr;
  EXPECT_TRUE(
      WaitFor([&] { return (print = DialogOf(window, [](HWND) { return true; })); }, 10000));
  if (print)
    PostMessageA(print, WM_CLOSE, 0, 0);
}

TEST(LogViewOnWine, ASaveThatFailsIsAMessageBoxNamingTheFileAndTheSystemsReason) {
  ScratchFolder folder;
  folder.WriteFile("Log.dat", Lines(0, 2));
  folder.WriteFile("saved.csv", "earlier");
  const std::string target = folder.Path() + "saved.csv";
  auto holder = std::make_unique<winetest::FileHolder>(target, "rw", 0);
  ASSERT_TRUE(holder->Holding());
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  ASSERT_NE(SaveThroughDialog(viewer.Window(), target), nullptr);
  // The file exists: the dialog asks whether to replace it, and is told yes.
  HWND message = nullptr;
  std::string text;
  const bool shown = WaitFor(
      [&] {
        if (HWND ask =
                DialogOf(viewer.Window(), [](HWND d) { return GetDlgItem(d, IDYES) != nullptr; })) {
          PostMessageA(ask, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(ask, IDYES)));
        }
        message = DialogOf(viewer.Window(), [](HWND d) {
          char caption[128] = {};
          GetWindowTextA(d, caption, sizeof caption);
          return std::string(caption) == "Dormivo log viewer";
        });
        return message != nullptr;
      },
      15000);
  ASSERT_TRUE(shown) << "a message box";
  EnumChildWindows(message, CollectStatic, reinterpret_cast<LPARAM>(&text));
  const std::string start = "Cannot create file \"" + target + "\". ";
  EXPECT_EQ(text.substr(0, start.size()), start) << text;
  EXPECT_GT(text.size(), start.size()) << "the system's text for the error";
  PostMessageA(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(message, IDOK)));
  holder.reset();
  EXPECT_EQ(folder.ReadFile("saved.csv"), "earlier") << "nothing partial";
  EXPECT_EQ(winetest::FolderEntries(folder.Path()),
            (std::vector<std::string>{"Log.dat", "LogView.exe", "saved.csv"}))
      << "no file left beside it";
}

TEST(LogViewOnWine, TheCommandLineExportWritesTheCsvWithoutAWindowOrFailsWithNothingWritten) {
  const std::string log =
      "[3/14/2026 9:05:07 PM]Say \"hi\", =SUM(A1)>Restart\r\n"
      "[3/15/2026]-x>@y\r\n";
  const std::string csv = std::string(kCsvHeader) +
                          "\"3/14/2026 9:05:07 PM\",\"Say \"\"hi\"\", =SUM(A1)\",\"Restart\"\r\n"
                          "\"3/15/2026\",\"'-x\",\"'@y\"\r\n";
  struct Row {
    const char* name;
    const char* arguments;  // "<folder>" stands for the scratch folder
    bool writeLog;
    bool holdLog;            // another program holds Log.dat open for writing
    const char* earlierCsv;  // what out.csv held before, or nullptr
    DWORD exitCode;
    const char* csvAfter;  // nullptr: no out.csv
  };
  const std::string header = kCsvHeader;
  const Row rows[] = {
      {"the log beside the program", "/csv \"<folder>out.csv\"", true, false, nullptr, 0,
       csv.c_str()},
      {"a named log, the switch in capitals", "\"<folder>Log.dat\" /CSV \"<folder>out.csv\"", true,
       false, nullptr, 0, csv.c_str()},
      {"over an earlier file", "/csv \"<folder>out.csv\"", true, false, "old", 0, csv.c_str()},
      {"a missing log gives the header alone", "/csv \"<folder>out.csv\"", false, false, nullptr, 0,
       header.c_str()},
      {"a log held for writing", "/csv \"<folder>out.csv\"", true, true, nullptr, 1, nullptr},
      {"a log held for writing keeps the earlier file", "/csv \"<folder>out.csv\"", true, true,
       "old", 1, "old"},
      {"a folder that does not exist", "/csv \"<folder>missing\\out.csv\"", true, false, nullptr, 1,
       nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    if (row.writeLog)
      folder.WriteFile("Log.dat", log);
    if (row.earlierCsv)
      folder.WriteFile("out.csv", row.earlierCsv);
    std::string arguments = row.arguments;
    for (size_t at; (at = arguments.find("<folder>")) != std::string::npos;)
      arguments.replace(at, 8, folder.Path());
    const std::vector<std::string> before = winetest::FolderEntries(folder.Path());
    DWORD code = STILL_ACTIVE;
    bool showedWindow = true;
    {
      std::unique_ptr<winetest::FileHolder> holder;
      if (row.holdLog) {
        holder = std::make_unique<winetest::FileHolder>(folder.Path() + "Log.dat", "w", 0);
        ASSERT_TRUE(holder->Holding());
      }
      Program viewer(folder, "LogView.exe");
      ASSERT_TRUE(viewer.Start(arguments));
      code = viewer.WaitWithoutWindow(30000, &showedWindow);
    }
    EXPECT_EQ(code, row.exitCode);
    EXPECT_FALSE(showedWindow) << "neither a window nor a message box";
    if (row.csvAfter) {
      EXPECT_EQ(folder.ReadFile("out.csv"), row.csvAfter);
    } else {
      EXPECT_EQ(GetFileAttributesA((folder.Path() + "out.csv").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    if (row.exitCode != 0) {
      std::vector<std::string> after = winetest::FolderEntries(folder.Path());
      after.erase(std::remove(after.begin(), after.end(), "LogView.exe"), after.end());
      EXPECT_EQ(after, before) << "nothing partial is left";
    }
  }
}

// Runs only as the tests wine.dpi.96, wine.dpi.144 and wine.dpi.192 (run-at-dpi.sh), in a Wine
// prefix of their own set to that DPI, named by DORMIVO_EXPECT_DPI.
TEST(LogViewDpiOnWine, TheWindowIsPerMonitorAwareAndScaledToTheDpi) {
  const char* wanted = std::getenv("DORMIVO_EXPECT_DPI");
  if (!wanted)
    GTEST_SKIP() << "runs as the wine.dpi.* tests, in a Wine prefix set to the DPI";
  const int dpi = std::atoi(wanted);
  // This process reads the window back in physical pixels.
  using SetAwareness = BOOL(WINAPI*)(HANDLE);
  using WindowContext = HANDLE(WINAPI*)(HWND);
  using ContextAwareness = int(WINAPI*)(HANDLE);
  using WindowDpi = UINT(WINAPI*)(HWND);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  const auto proc = [user32](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(user32, name));
  };
  const auto setAwareness = reinterpret_cast<SetAwareness>(proc("SetProcessDpiAwarenessContext"));
  const auto windowContext = reinterpret_cast<WindowContext>(proc("GetWindowDpiAwarenessContext"));
  const auto awareness =
      reinterpret_cast<ContextAwareness>(proc("GetAwarenessFromDpiAwarenessContext"));
  const auto windowDpi = reinterpret_cast<WindowDpi>(proc("GetDpiForWindow"));
  ASSERT_TRUE(setAwareness && windowContext && awareness && windowDpi);
  setAwareness(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)));  // per monitor, version 2

  ScratchFolder folder;
  folder.WriteFile("Log.dat", Lines(0, 3));
  Program viewer(folder, "LogView.exe");
  ASSERT_TRUE(viewer.Start(""));
  ASSERT_TRUE(viewer.WaitForWindow(20000));
  HWND window = viewer.Window();
  EXPECT_EQ(awareness(windowContext(window)), 2) << "per-monitor DPI aware";
  ASSERT_EQ(static_cast<int>(windowDpi(window)), dpi);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  using viewer::LogViewWindow;
  // The design's size scaled, within the screen's work area (1280 x 1024 pixels under Xvfb).
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(bounds.right - bounds.left, std::min(MulDiv(LogViewWindow::kDesignWidth, dpi, 96),
                                                 static_cast<int>(work.right - work.left)));
  EXPECT_EQ(bounds.bottom - bounds.top, std::min(MulDiv(LogViewWindow::kDesignHeight, dpi, 96),
                                                 static_cast<int>(work.bottom - work.top)));
  EXPECT_GE(bounds.left, work.left);
  EXPECT_LE(bounds.right, work.right);
  HWND list = GetDlgItem(window, IDC_LIST);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0),
              MulDiv(LogViewWindow::kColumnWidths[c], dpi, 96))
        << "column " << c;
  }
  const View view = ReadView(folder);
  EXPECT_EQ(view.rows, 3);
}

}  // namespace
}  // namespace dormivo
