// Stand-in for the portable row model until it is merged.
#pragma once

#include <windows.h>

#include <string>

#include "storage/JvLogFile.h"

namespace dormivo::viewer {

class LogViewModel {
 public:
  enum class State { Loaded, Missing, Unreadable };
  explicit LogViewModel(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }
  void Load() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data)) {
      state_ = State::Missing;
      rows_ = {};
      stamp_ = {};
      return;
    }
    stamp_ = data.ftLastWriteTime;
    size_ = data.nFileSizeLow;
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      state_ = State::Unreadable;
      error_ = GetLastError();
      return;
    }
    std::string text(data.nFileSizeLow, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    rows_ = TJvLogRecordList::FromText(std::move(text));
    state_ = State::Loaded;
  }
  bool Changed() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data))
      return state_ != State::Missing;
    return state_ != State::Loaded || CompareFileTime(&data.ftLastWriteTime, &stamp_) != 0 ||
           data.nFileSizeLow != size_;
  }
  int Count() const { return rows_.Count(); }
  TJvLogRecord Row(int i) const { return rows_[i]; }
  State GetState() const { return state_; }
  DWORD Error() const { return error_; }
  FILETIME Stamp() const { return stamp_; }

 private:
  std::string path_;
  TJvLogRecordList rows_;
  State state_ = State::Missing;
  DWORD error_ = 0;
  FILETIME stamp_{};
  DWORD size_ = 0;
};

}  // namespace dormivo::viewer
