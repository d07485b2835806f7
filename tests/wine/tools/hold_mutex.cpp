// A second Windows process that owns a named mutex, for the tests of the executors' lock.
//   hold_mutex <mutex name> <ready event> <release event>
// Creates or opens the mutex and waits until it owns it, signals the ready event, waits for the
// release event (60 s at most) and releases the mutex. A test that kills it instead leaves the
// mutex abandoned. Exits 0, or 2 when the mutex could not be had.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: hold_mutex name ready-event release-event\n");
    return 1;
  }
  HANDLE mutex = CreateMutexA(nullptr, FALSE, argv[1]);
  if (!mutex || WaitForSingleObject(mutex, 10000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "hold_mutex: cannot own %s: %lu\n", argv[1], GetLastError());
    return 2;
  }
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
  if (ready)
    SetEvent(ready);
  if (release)
    WaitForSingleObject(release, 60000);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}
