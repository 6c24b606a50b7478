#include "platform/win32/registry_win32.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

HKEY rootKey(RegRoot root) {
  switch (root) {
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
  }
  return nullptr;
}

HKEY toHkey(RegKey key) {
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

RegResult Win32Registry::openKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                                 RegKey& key) {
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(rootKey(root), wide(path), 0, access, &opened);
  key = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
  return status;
}

RegResult Win32Registry::createKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                                   RegKey& key) {
  HKEY created = nullptr;
  DWORD disposition = 0;
  const LSTATUS status =
      RegCreateKeyExW(rootKey(root), wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                      nullptr, &created, &disposition);
  key = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(created) : 0;
  return status;
}

RegResult Win32Registry::setValue(RegKey key, const std::u16string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExW(toHkey(key), wide(name), 0, type, data, size);
}

RegResult Win32Registry::queryValue(RegKey key, const std::u16string& name, std::uint32_t& type,
                                    std::uint8_t* data, std::uint32_t& size) {
  DWORD valueType = type;
  DWORD valueSize = size;
  const LSTATUS status =
      RegQueryValueExW(toHkey(key), wide(name), nullptr, &valueType, data, &valueSize);
  type = valueType;
  size = valueSize;
  return status;
}

RegResult Win32Registry::closeKey(RegKey key) {
  return RegCloseKey(toHkey(key));
}

}  // namespace platform::win32
