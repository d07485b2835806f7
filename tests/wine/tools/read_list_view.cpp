// Reads another process's report window back, as a screen reader or a test robot would: the
// caption of the first visible top-level window of a class, the texts of its toolbar buttons, its
// list view's style, columns, row count, rows and scroll position, and its status bar's parts.
//   read_list_view <window class> <output file> [<rows from the start> [<rows from the end>]]
// The list view, toolbar and status bar messages that return text fill memory the caller points
// to, which must lie in the process that owns the window: the texts are asked for into memory
// allocated there (VirtualAllocEx) and read from it (ReadProcessMemory).
// Writes one "key=value" line per item into the output file (ANSI text, LF line ends); exits 0,
// 2 when no such window exists and 3 when its memory cannot be reached.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  const char* className;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  if (IsWindowVisible(window) && std::string(name) == search->className) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == search->className) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND Child(HWND parent, const char* className) {
  Search search{className, nullptr};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result))
    return -1;
  return static_cast<LRESULT>(result);
}

// A block of memory in the window's process: a structure at its start, text after it.
class Remote {
 public:
  static constexpr SIZE_T kSize = 64 * 1024;
  static constexpr SIZE_T kTextAt = 1024;
  explicit Remote(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_)
      base_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~Remote() {
    if (base_)
      VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_)
      CloseHandle(process_);
  }
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;
  bool Ok() const { return base_ != nullptr; }
  char* Struct() const { return base_; }
  char* Text() const { return base_ + kTextAt; }
  int TextSize() const { return static_cast<int>(kSize - kTextAt); }
  bool Put(const void* data, SIZE_T size) const {
    return WriteProcessMemory(process_, base_, data, size, nullptr) != FALSE;
  }
  bool Get(void* data, SIZE_T size) const {
    return ReadProcessMemory(process_, base_, data, size, nullptr) != FALSE;
  }
  std::string ReadText() const {
    std::vector<char> text(kSize - kTextAt + 1, '\0');
    ReadProcessMemory(process_, Text(), text.data(), kSize - kTextAt, nullptr);
    return text.data();
  }
  // Clears the text area, so that a message that writes nothing reads back as empty.
  void ClearText() const {
    const char zero[16] = {};
    WriteProcessMemory(process_, Text(), zero, sizeof zero, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

std::string ItemText(HWND list, const Remote& remote, int item, int column) {
  LVITEMA request{};
  request.mask = LVIF_TEXT;
  request.iItem = item;
  request.iSubItem = column;
  request.pszText = remote.Text();
  request.cchTextMax = remote.TextSize();
  remote.ClearText();
  if (!remote.Put(&request, sizeof request))
    return "<unreadable>";
  Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
       reinterpret_cast<LPARAM>(remote.Struct()));
  return remote.ReadText();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: read_list_view class output [first-rows [last-rows]]\n");
    return 1;
  }
  const int firstRows = argc > 3 ? std::atoi(argv[3]) : 100;
  const int lastRows = argc > 4 ? std::atoi(argv[4]) : 0;
  Search search{argv[1], nullptr};
  EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
  if (!search.found)
    return 2;
  HWND window = search.found;
  Remote remote(window);
  if (!remote.Ok())
    return 3;

  std::string out;
  const auto line = [&out](const std::string& key, const std::string& value) {
    out += key + "=" + value + "\n";
  };
  char caption[1024] = {};
  GetWindowTextA(window, caption, sizeof caption);
  line("caption", caption);

  if (HWND toolbar = Child(window, TOOLBARCLASSNAMEA)) {
    const auto buttons = static_cast<int>(Send(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < buttons; ++i) {
      TBBUTTON button{};
      remote.Put(&button, sizeof button);
      Send(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i),
           reinterpret_cast<LPARAM>(remote.Struct()));
      remote.Get(&button, sizeof button);
      remote.ClearText();
      Send(toolbar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(button.idCommand),
           reinterpret_cast<LPARAM>(remote.Text()));
      line("button", std::to_string(button.idCommand) + " " + remote.ReadText());
    }
  }

  if (HWND list = Child(window, WC_LISTVIEWA)) {
    const auto style = static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE));
    const auto extended = static_cast<DWORD>(Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    line("report", (style & LVS_TYPEMASK) == LVS_REPORT ? "1" : "0");
    line("ownerdata", (style & LVS_OWNERDATA) ? "1" : "0");
    line("fullrow", (extended & LVS_EX_FULLROWSELECT) ? "1" : "0");
    for (int i = 0;; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT;
      column.pszText = remote.Text();
      column.cchTextMax = remote.TextSize();
      remote.ClearText();
      remote.Put(&column, sizeof column);
      if (Send(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i),
               reinterpret_cast<LPARAM>(remote.Struct())) <= 0)
        break;
      line("column", remote.ReadText());
    }
    const auto count = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    line("rows", std::to_string(count));
    line("top", std::to_string(Send(list, LVM_GETTOPINDEX, 0, 0)));
    line("perpage", std::to_string(Send(list, LVM_GETCOUNTPERPAGE, 0, 0)));
    const auto row = [&](int item) {
      line("row", std::to_string(item) + "\t" + ItemText(list, remote, item, 0) + "\t" +
                      ItemText(list, remote, item, 1) + "\t" + ItemText(list, remote, item, 2));
    };
    for (int i = 0; i < count && i < firstRows; ++i) row(i);
    for (int i = count - lastRows; i < count; ++i) {
      if (i >= firstRows)
        row(i);
    }
  }

  if (HWND status = Child(window, STATUSCLASSNAMEA)) {
    const auto parts = static_cast<int>(Send(status, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts; ++i) {
      remote.ClearText();
      Send(status, SB_GETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.Text()));
      line("status", remote.ReadText());
    }
  }

  FILE* file = std::fopen(argv[2], "wb");
  if (!file)
    return 1;
  std::fwrite(out.data(), 1, out.size(), file);
  std::fclose(file);
  return 0;
}
