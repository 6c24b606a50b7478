#pragma once

#include <map>
#include <string>

#include "platform/registry.h"

namespace platform::linux_desktop {

// The registry's rules on one settings file (its format: settings/line.h).
// Nothing is cached: every call reads the file afresh. A write replaces the
// file as a whole (written beside it, then renamed over it), under an
// exclusive lock on its folder, so that a crash leaves the old file or the
// new one and two programs writing at once lose neither's value. A file that
// exists but cannot be read is never written over.
class FileRegistry final : public Registry {
 public:
  explicit FileRegistry(std::string filePath);

  RegResult openKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                    RegKey& key) override;
  RegResult createKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                      RegKey& key) override;
  RegResult setValue(RegKey key, const std::u16string& name, std::uint32_t type,
                     const std::uint8_t* data, std::uint32_t size) override;
  RegResult queryValue(RegKey key, const std::u16string& name, std::uint32_t& type,
                       std::uint8_t* data, std::uint32_t& size) override;
  RegResult closeKey(RegKey key) override;

 private:
  struct OpenKey {
    std::u16string path;
    std::uint32_t access = 0;
  };
  RegKey remember(const std::u16string& path, std::uint32_t access);

  std::string filePath_;
  std::string folder_;
  std::map<RegKey, OpenKey> keys_;
  RegKey nextKey_ = 1;
};

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or not absolute.
std::string configHome();

}  // namespace platform::linux_desktop
