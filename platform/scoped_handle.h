// One owner type for every kind of handle the core opens through the platform interfaces: it
// closes the handle exactly once, when it goes out of scope (also when an exception passes), and
// never closes the value that stands for "no handle".
//
//   platform::ScopedFile file(fs, fs.CreateFileA(path, ...));
//   if (!file)
//     RaiseOpenError(fs, path);
//   fs.ReadFile(file.get(), ...);
//
// Where the result of the close matters, take the handle back with release() and close it by
// hand; where an error raised by the close must reach the caller, close with reset().
#pragma once

#include <utility>

#include "platform/com.h"
#include "platform/file_system.h"
#include "platform/handles.h"
#include "platform/power.h"
#include "platform/registry.h"
#include "platform/sync.h"
#include "platform/url_cache.h"

namespace dormivo::platform {

// How one kind of handle is closed: the interface that owns it, the member of that interface
// that closes it, and the value that stands for no handle.
template <typename OwnerT, typename ValueT, auto kCloseMember, ValueT kNoneValue>
struct CloseTraits {
  using Owner = OwnerT;
  using Value = ValueT;
  static constexpr Value kNone = kNoneValue;
  static void Close(Owner& owner, Value value) { (owner.*kCloseMember)(value); }
};

template <typename Traits>
class ScopedHandle {
 public:
  using Owner = typename Traits::Owner;
  using Value = typename Traits::Value;

  // Holds no handle yet.
  explicit ScopedHandle(Owner& owner) noexcept : owner_(&owner), value_(Traits::kNone) {}
  // Takes over `value`, which `owner` opened (the "no handle" value is taken as no handle).
  ScopedHandle(Owner& owner, Value value) noexcept : owner_(&owner), value_(value) {}

  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : owner_(other.owner_), value_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) {
    Owner* const owner = other.owner_;
    const Value value = other.release();
    reset();
    owner_ = owner;
    value_ = value;
    return *this;
  }
  // A destructor must not raise: an error the close raises here is dropped. Where it matters,
  // close with reset() before the scope ends, which lets the error through.
  ~ScopedHandle() {
    try {
      reset();
    } catch (...) {
    }
  }

  Value get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::kNone; }
  explicit operator bool() const noexcept { return valid(); }

  // Gives the handle up without closing it; the caller closes it from now on.
  Value release() noexcept { return std::exchange(value_, Traits::kNone); }
  // Closes the handle held (if any) and takes over `value` instead.
  void reset(Value value = Traits::kNone) {
    const Value old = std::exchange(value_, value);
    if (old != Traits::kNone)
      Traits::Close(*owner_, old);
  }

 private:
  Owner* owner_;
  Value value_;
};

// An open file (CreateFileA): closed with CloseHandle; INVALID_HANDLE_VALUE is none.
using ScopedFile =
    ScopedHandle<CloseTraits<FileSystem, Handle, &FileSystem::CloseHandle, kInvalidHandle>>;
// A folder search (FindFirstFileA): closed with FindClose; INVALID_HANDLE_VALUE is none.
using ScopedSearch =
    ScopedHandle<CloseTraits<FileSystem, Handle, &FileSystem::FindClose, kInvalidHandle>>;
// An open registry key: closed with RegCloseKey; NULL is none.
using ScopedKey =
    ScopedHandle<CloseTraits<Registry, RegistryKey, &Registry::RegCloseKey, RegistryKey{0}>>;
// A URL cache enumeration: closed with FindCloseUrlCache; NULL is none.
using ScopedUrlEnumeration =
    ScopedHandle<CloseTraits<UrlCache, Handle, &UrlCache::FindCloseUrlCache, Handle{0}>>;
// A COM interface pointer: released with Release; NULL is none.
using ScopedInterface =
    ScopedHandle<CloseTraits<Com, ComInterface, &Com::Release, ComInterface{0}>>;
// A process token (OpenProcessToken): closed with CloseHandle; NULL is none.
using ScopedToken = ScopedHandle<CloseTraits<PowerApi, Handle, &PowerApi::CloseHandle, Handle{0}>>;
// A named mutex (CreateMutexA): closed with CloseHandle; NULL is none.
using ScopedMutex = ScopedHandle<CloseTraits<SyncApi, Handle, &SyncApi::CloseHandle, Handle{0}>>;

}  // namespace dormivo::platform
