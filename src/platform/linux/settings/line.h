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

// One line of the file, as it stands; Other when it is none of the forms above.
SettingsLine parseLine(std::string_view raw);
// The line that carries the value; none when its name is not UTF-8.
std::optional<std::string> valueLine(const SettingsValue& value);

// Whether the line ends the key above it.
inline bool opensSection(const SettingsLine& line) {
  return line.kind == SettingsLine::Kind::Key || line.kind == SettingsLine::Kind::Section;
}

// Whether two names are equal without regard to ASCII case.
bool sameName(std::u16string_view a, std::u16string_view b);

}  // namespace platform::linux_desktop
