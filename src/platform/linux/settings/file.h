#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/settings/line.h"

namespace platform::linux_desktop {

// The settings file as lines (settings/line.h), and the edits the store makes
// to it: every line it does not change is written back as it stood.
class SettingsFile {
 public:
  static SettingsFile parse(std::string_view content);
  std::string render() const;

  // Whether the key, or a key below it, is in the file.
  bool hasKey(std::u16string_view path) const;
  // The first value of that name under the first line of that key.
  const SettingsValue* find(std::u16string_view path, std::u16string_view name) const;
  // Adds the key's line at the end when the key is not in the file itself.
  // False when the path cannot be written in the format.
  bool addKey(std::u16string_view path);
  // Replaces the value's line, or adds one at the end of the key's lines
  // (adding the key first). False when the name cannot be written.
  bool put(std::u16string_view path, SettingsValue value);

  const std::vector<SettingsLine>& lines() const { return lines_; }

 private:
  std::optional<std::size_t> keyLine(std::u16string_view path) const;
  std::vector<SettingsLine> lines_;
  bool endsWithLineFeed_ = true;
};

}  // namespace platform::linux_desktop
