#pragma once

#include <windows.h>

#include <utility>

namespace platform::win32 {

// One owner per handle: a move-only holder that releases its handle with the
// function that belongs to the handle's kind.
template <typename Handle, auto Release>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  ~Owned() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  void reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Release(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

using OwnedMenu = Owned<HMENU, &DestroyMenu>;
using OwnedIcon = Owned<HICON, &DestroyIcon>;
using OwnedHook = Owned<HHOOK, &UnhookWindowsHookEx>;
using OwnedHandle = Owned<HANDLE, &CloseHandle>;

}  // namespace platform::win32
