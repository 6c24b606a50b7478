#include "settings/registry_store.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace settings {
namespace {

using namespace platform;

// Closes the key that a call opened, in that same call, when it was opened.
class OpenedKey {
 public:
  explicit OpenedKey(Registry& registry) : registry_(registry) {}
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  ~OpenedKey() {
    if (key_ != 0) registry_.closeKey(key_);
  }
  RegKey& handle() { return key_; }

 private:
  Registry& registry_;
  RegKey key_ = 0;
};

std::vector<std::uint8_t> toUtf16LeBytes(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

// A REG_SZ value reads up to its first NUL, or to its end when a writer left
// the terminator out: "12" stored without one still reads "12". A stray odd
// last byte is half a character and is dropped.
std::u16string textFromRegSz(const std::vector<std::uint8_t>& bytes, std::uint32_t size) {
  const std::size_t units = std::min<std::size_t>(size, bytes.size()) / 2;
  std::u16string text;
  text.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

}  // namespace

void SaveRegText(Registry& registry, RegRoot root, const std::u16string& keyPath,
                 const std::u16string& valueName, const std::u16string& text) {
  {
    OpenedKey probe(registry);
    if (registry.openKey(root, keyPath, reg_access::kAllSpecific, probe.handle()) !=
        reg_result::kSuccess) {
      EnsureRegKey(registry, keyPath, root);
    }
  }
  WriteRegValue(registry, root, keyPath, valueName, text, reg_type::kSz);
}

void EnsureRegKey(Registry& registry, const std::u16string& keyPath, RegRoot root) {
  OpenedKey created(registry);
  registry.createKey(root, keyPath, reg_access::kAllSpecific, created.handle());
}

void WriteRegValue(Registry& registry, RegRoot root, const std::u16string& keyPath,
                   const std::u16string& valueName, const std::u16string& data,
                   std::uint32_t type) {
  OpenedKey key(registry);
  // When the open fails the handle stays null and the write below fails too.
  registry.openKey(root, keyPath, reg_access::kSetValue, key.handle());
  PutRegData(registry, key.handle(), valueName, type, data);
}

RegResult PutRegData(Registry& registry, RegKey key, const std::u16string& valueName,
                     std::uint32_t type, const std::u16string& data) {
  std::u16string terminated = data;
  terminated.push_back(u'\0');
  const std::vector<std::uint8_t> bytes = toUtf16LeBytes(terminated);
  return registry.setValue(key, valueName, type, bytes.data(),
                           static_cast<std::uint32_t>(bytes.size()));
}

RegResult GetRegData(Registry& registry, RegKey key, const std::u16string& valueName,
                     ReadResult& result) {
  std::uint32_t type = reg_type::kNone;
  std::uint32_t size = 0;
  RegResult code = registry.queryValue(key, valueName, type, nullptr, size);
  if (code != reg_result::kSuccess) return code;

  if (type == reg_type::kSz) {
    // A value larger than memory allows, or one that grew since the first
    // query, makes the read fail: it then gives "".
    std::vector<std::uint8_t> buffer;
    try {
      buffer.assign(size, 0);
    } catch (const std::bad_alloc&) {
      return code;
    }
    code = registry.queryValue(key, valueName, type, buffer.data(), size);
    if (code != reg_result::kSuccess) {
      result = std::monostate{};
      return code;
    }
    result = textFromRegSz(buffer, size);
    return code;
  }
  if (type == reg_type::kDword) {
    std::uint8_t number[4] = {0, 0, 0, 0};
    size = sizeof number;
    code = registry.queryValue(key, valueName, type, number, size);
    if (code == reg_result::kSuccess) {
      const std::uint32_t bits = static_cast<std::uint32_t>(number[0]) |
                                 (static_cast<std::uint32_t>(number[1]) << 8) |
                                 (static_cast<std::uint32_t>(number[2]) << 16) |
                                 (static_cast<std::uint32_t>(number[3]) << 24);
      result = static_cast<std::int32_t>(bits);
    }
    return code;
  }
  return -1;
}

std::u16string readResultToText(const ReadResult& result) {
  if (const auto* text = std::get_if<std::u16string>(&result)) return *text;
  if (const auto* number = std::get_if<std::int32_t>(&result)) {
    const std::string digits = std::to_string(*number);
    return std::u16string(digits.begin(), digits.end());
  }
  return {};
}

std::u16string LoadRegText(Registry& registry, RegRoot root, const std::u16string& keyPath,
                           const std::u16string& valueName) {
  ReadResult result;
  {
    OpenedKey key(registry);
    // A missing key leaves the handle null and the query below fails.
    registry.openKey(root, keyPath, reg_access::kQueryValue, key.handle());
    GetRegData(registry, key.handle(), valueName, result);
  }
  return readResultToText(result);
}

}  // namespace settings
