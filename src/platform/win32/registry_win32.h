#pragma once

#include "platform/registry.h"

namespace platform::win32 {

// The registry seam over advapi32's Unicode entry points.
class Win32Registry final : public Registry {
 public:
  RegResult openKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                    RegKey& key) override;
  RegResult createKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                      RegKey& key) override;
  RegResult setValue(RegKey key, const std::u16string& name, std::uint32_t type,
                     const std::uint8_t* data, std::uint32_t size) override;
  RegResult queryValue(RegKey key, const std::u16string& name, std::uint32_t& type,
                       std::uint8_t* data, std::uint32_t& size) override;
  RegResult closeKey(RegKey key) override;
};

}  // namespace platform::win32
