#pragma once

#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

// A system DLL that only a rarely used feature needs: loaded when the feature
// is first used instead of at every start, and from System32 only.
class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* name) : name_(name) {}

  // A function of the DLL, loading it first; null when either is missing.
  template <typename Function>
  Function function(const char* functionName) {
    if (!module_) module_.reset(LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!module_) return nullptr;
    // Through void (*)(), the cast that declares a change of function type.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_.get(), functionName)));
  }

 private:
  const wchar_t* name_;
  Owned<HMODULE, &FreeLibrary> module_;
};

}  // namespace platform::win32
