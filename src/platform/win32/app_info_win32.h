#pragma once

#include <windows.h>

#include "platform/window.h"

namespace platform::win32 {

// The path of a module, however long.
std::u16string modulePath(HMODULE module);
// The folder part of a path: no trailing "\" unless it is a drive root.
std::u16string folderOf(const std::u16string& path);
// The file name without its extension.
std::u16string baseNameOf(const std::u16string& path);

class Win32AppInfo final : public AppInfo {
 public:
  std::u16string executableFolder() override;
  std::u16string executableBaseName() override;
  std::u16string productName() override;
  std::u16string pathSeparator() override { return u"\\"; }
};

}  // namespace platform::win32
