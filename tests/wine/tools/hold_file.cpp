// A second Windows process that holds a file open, for the sharing tests.
//   hold_file <path> <access: r|w|rw> <share mode 0..7> <ready event> <release event>
// Opens the file (creating it if missing), signals the ready event, waits for the release event
// (60 s at most) and closes the file. Exits 0, or 2 when the open failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: hold_file path r|w|rw share ready-event release-event\n");
    return 1;
  }
  DWORD access = 0;
  if (std::strchr(argv[2], 'r'))
    access |= GENERIC_READ;
  if (std::strchr(argv[2], 'w'))
    access |= GENERIC_WRITE;
  const DWORD share = static_cast<DWORD>(std::atoi(argv[3]));
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[5]);
  HANDLE file =
      CreateFileA(argv[1], access, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_file: cannot open %s: %lu\n", argv[1], GetLastError());
    return 2;
  }
  if (ready)
    SetEvent(ready);
  if (release)
    WaitForSingleObject(release, 60000);
  CloseHandle(file);
  return 0;
}
