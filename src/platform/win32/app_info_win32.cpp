#include "platform/win32/app_info_win32.h"

#include <vector>

#include "platform/win32/wide.h"

namespace platform::win32 {

std::u16string modulePath(HMODULE module) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return fromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // cut short: try again with more room
  }
}

std::u16string folderOf(const std::u16string& path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  if (slash == std::u16string::npos) return {};
  // "C:\Tenebrolite.exe" lies in "C:\", which keeps its backslash.
  if (slash == 2 && path[1] == u':') return path.substr(0, 3);
  return path.substr(0, slash);
}

std::u16string baseNameOf(const std::u16string& path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string::npos) name.resize(dot);
  return name;
}

std::u16string Win32AppInfo::executableFolder() {
  return folderOf(modulePath(nullptr));
}

std::u16string Win32AppInfo::executableBaseName() {
  return baseNameOf(modulePath(nullptr));
}

std::u16string Win32AppInfo::productName() {
  const std::u16string path = modulePath(nullptr);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide(path), &ignored);
  if (size == 0) return {};
  std::vector<std::byte> info(size);
  if (!GetFileVersionInfoW(wide(path), 0, size, info.data())) return {};
  void* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductName", &text, &length) ||
      length == 0) {
    return {};
  }
  // Whether the length counts the terminating NUL differs between systems.
  const auto* chars = static_cast<const wchar_t*>(text);
  return fromWide(chars, wcsnlen(chars, length));
}

}  // namespace platform::win32
