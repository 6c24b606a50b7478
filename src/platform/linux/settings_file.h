#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings file's text format. One line each:
//   [Software\Velmarind\Tenebrolite]     a key: the values below belong to it (a line
//                                        whose first non-blank is "[" ends the key
//                                        above it; indented, it opens no key)
//   "Holdit"="2.5"                       a text value (REG_SZ)
//   "Count"=dword:00000003               a 32-bit number (REG_DWORD), 8 hex digits
//   "Other"=hex(7):41,00,00,00           any other type, or text the form above
//                                        cannot carry exactly: the type in hex, the bytes
// Names and texts are UTF-8 in double quotes, with \\, \", \n and \r escaped.
// Key paths and value names match without regard to ASCII case. Every other
// line (blank lines, comments, whatever the store does not understand) is
// kept as it is when the file is written again.
namespace platform::linux_desktop {

struct SettingsValue {
  std::u16string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
};

struct SettingsLine {
  // Section: a line that opens a key whose name the store does not take, or
  // an indented one; it ends the key above it all the same.
  enum class Kind { Other, Key, Section, Value };
  Kind kind = Kind::Other;
  std::string text;     // the line as it stands in the file, without its line feed
  std::u16string key;   // Key: the path
  SettingsValue value;  // Value
};

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

// Whether two names are equal without regard to ASCII case.
bool sameName(std::u16string_view a, std::u16string_view b);

}  // namespace platform::linux_desktop
