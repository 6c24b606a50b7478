#include "platform/win32/app_info_win32.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

// A block of a version resource: a header (its length, its value's length and
// the value's type, 1 for text counted in characters), a NUL-terminated key,
// the value, then child blocks up to its end; key, value and each child start
// on a 32-bit boundary counted from the resource's start.
struct VersionBlock {
  std::wstring_view key;
  const std::byte* value = nullptr;
  std::size_t valueBytes = 0;
  const std::byte* children = nullptr;
  const std::byte* end = nullptr;
};

class VersionResource {
 public:
  VersionResource(const std::byte* data, std::size_t size) : start_(data), end_(data + size) {}

  // The outermost block.
  bool root(VersionBlock& block) const { return read(start_, end_, block); }

  // The child of a block with this key.
  bool find(const VersionBlock& parent, std::wstring_view key, VersionBlock& block) const {
    for (const std::byte* at = parent.children; at < parent.end; at = aligned(block.end)) {
      if (!read(at, parent.end, block)) return false;
      if (block.key == key) return true;
    }
    return false;
  }

 private:
  const std::byte* aligned(const std::byte* at) const {
    return std::min(start_ + ((at - start_ + 3) & ~std::ptrdiff_t{3}), end_);
  }

  // The block at `at`, which must end by `limit`.
  bool read(const std::byte* at, const std::byte* limit, VersionBlock& block) const {
    WORD header[3] = {};
    if (limit - at < static_cast<std::ptrdiff_t>(sizeof header)) return false;
    std::memcpy(header, at, sizeof header);
    if (header[0] < sizeof header || header[0] > limit - at) return false;
    block.end = at + header[0];
    const auto* key = reinterpret_cast<const wchar_t*>(at + sizeof header);
    const auto room = static_cast<std::size_t>(block.end - (at + sizeof header)) / sizeof(wchar_t);
    const std::size_t keyLength = wcsnlen(key, room);
    if (keyLength == room) return false;
    block.key = {key, keyLength};
    block.value =
        std::min(aligned(at + sizeof header + (keyLength + 1) * sizeof(wchar_t)), block.end);
    const std::size_t declared = header[2] == 1 ? header[1] * sizeof(wchar_t) : header[1];
    block.valueBytes = std::min(declared, static_cast<std::size_t>(block.end - block.value));
    block.children = std::min(aligned(block.value + block.valueBytes), block.end);
    return true;
  }

  const std::byte* start_;
  const std::byte* end_;
};

}  // namespace

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
  // The exe's own version resource where the loader mapped it: no second
  // reading of the file and no version.dll at start-up.
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));  // RT_VERSION
  HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
  const auto* data =
      static_cast<const std::byte*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (data == nullptr) return {};
  const VersionResource resource(data, SizeofResource(nullptr, found));
  VersionBlock root;
  VersionBlock strings;
  VersionBlock table;
  VersionBlock name;
  if (!resource.root(root) || !resource.find(root, L"StringFileInfo", strings) ||
      !resource.find(strings, L"040904B0", table) || !resource.find(table, L"ProductName", name)) {
    return {};
  }
  // Whether the length counts the terminating NUL differs between tools.
  const auto* chars = reinterpret_cast<const wchar_t*>(name.value);
  return fromWide(chars, wcsnlen(chars, name.valueBytes / sizeof(wchar_t)));
}

}  // namespace platform::win32
