#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A key handle as the registry hands it out; 0 is the null handle.
using RegKey = std::uintptr_t;

// The platform's result code: 0 is success, anything else a system error code.
using RegResult = std::int32_t;

enum class RegRoot : std::uint32_t { CurrentUser = 0x80000001u };

namespace reg_result {
inline constexpr RegResult kSuccess = 0;
inline constexpr RegResult kFileNotFound = 2;
inline constexpr RegResult kAccessDenied = 5;
inline constexpr RegResult kInvalidHandle = 6;
inline constexpr RegResult kMoreData = 234;
}  // namespace reg_result

namespace reg_type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiSz = 7;
inline constexpr std::uint32_t kQword = 11;
}  // namespace reg_type

namespace reg_access {
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kSetValue = 0x0002;
inline constexpr std::uint32_t kCreateSubKey = 0x0004;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kNotify = 0x0010;
inline constexpr std::uint32_t kCreateLink = 0x0020;
// The six specific key rights together, without the standard rights that
// KEY_ALL_ACCESS adds.
inline constexpr std::uint32_t kAllSpecific = 0x003F;
}  // namespace reg_access

// The five registry operations the settings store uses. Text is UTF-16; value
// data is raw bytes, REG_SZ data being UTF-16LE as the registry keeps it.
class Registry {
 public:
  virtual ~Registry() = default;

  virtual RegResult openKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                            RegKey& key) = 0;
  // Creates every missing key along the path, or opens the key when it exists.
  virtual RegResult createKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                              RegKey& key) = 0;
  virtual RegResult setValue(RegKey key, const std::u16string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) = 0;
  // With data null it reports only the type and the size in bytes. size is the
  // buffer's size on entry and the value's size on return.
  virtual RegResult queryValue(RegKey key, const std::u16string& name, std::uint32_t& type,
                               std::uint8_t* data, std::uint32_t& size) = 0;
  virtual RegResult closeKey(RegKey key) = 0;
};

}  // namespace platform
