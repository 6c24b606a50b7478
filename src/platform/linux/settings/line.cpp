#include "platform/linux/settings/line.h"

#include <cstdio>

#include "platform/linux/utf8.h"
#include "platform/registry.h"

namespace platform::linux_desktop {
namespace {

char16_t foldCase(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A quoted string at the start of text: its content, and what follows it.
std::optional<std::string> readQuoted(std::string_view& text) {
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\') {
      if (++i == text.size()) return std::nullopt;
      switch (text[i]) {
        case '\\':
          out.push_back('\\');
          break;
        case '"':
          out.push_back('"');
          break;
        case 'n':
          out.push_back('\n');
          break;
        case 'r':
          out.push_back('\r');
          break;
        default:
          return std::nullopt;
      }
    } else {
      out.push_back(c);
    }
  }
  return std::nullopt;
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out.push_back(c);
    }
  }
  return out + "\"";
}

std::optional<std::uint32_t> readHexNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    const int d = hexDigit(c);
    if (d < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return value;
}

std::optional<std::vector<std::uint8_t>> readHexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  if (text.empty()) return bytes;
  for (;;) {
    if (text.size() < 2 || hexDigit(text[0]) < 0 || hexDigit(text[1]) < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hexDigit(text[0]) * 16 + hexDigit(text[1])));
    text.remove_prefix(2);
    if (text.empty()) return bytes;
    if (text.front() != ',') return std::nullopt;
    text.remove_prefix(1);
  }
}

// The text of REG_SZ data when the quoted form carries it exactly: UTF-16LE
// with one terminating NUL and none before it.
std::optional<std::u16string> exactText(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i + 2 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (unit == u'\0') return std::nullopt;
    text.push_back(unit);
  }
  if (bytes[bytes.size() - 2] != 0 || bytes.back() != 0) return std::nullopt;
  return text;
}

std::optional<SettingsValue> readValue(std::string_view text) {
  const auto name = readQuoted(text);
  if (!name || text.empty() || text.front() != '=') return std::nullopt;
  text.remove_prefix(1);
  SettingsValue value;
  const auto wideName = fromUtf8(*name);
  if (!wideName) return std::nullopt;
  value.name = *wideName;
  if (!text.empty() && text.front() == '"') {
    const auto data = readQuoted(text);
    if (!data || !text.empty()) return std::nullopt;
    const auto wide = fromUtf8(*data);
    if (!wide) return std::nullopt;
    value.type = reg_type::kSz;
    for (char16_t unit : *wide) {
      value.bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      value.bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    value.bytes.push_back(0);
    value.bytes.push_back(0);
    return value;
  }
  if (text.starts_with("dword:")) {
    text.remove_prefix(6);
    if (text.size() != 8) return std::nullopt;
    const auto number = readHexNumber(text);
    if (!number) return std::nullopt;
    value.type = reg_type::kDword;
    for (int shift = 0; shift < 32; shift += 8) {
      value.bytes.push_back(static_cast<std::uint8_t>(*number >> shift));
    }
    return value;
  }
  if (text.starts_with("hex(")) {
    const std::size_t close = text.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    const auto type = readHexNumber(text.substr(4, close - 4));
    const auto bytes = readHexBytes(text.substr(close + 2));
    if (!type || !bytes) return std::nullopt;
    value.type = *type;
    value.bytes = *bytes;
    return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> valueLine(const SettingsValue& value) {
  const auto name = toUtf8(value.name);
  if (!name) return std::nullopt;
  std::string line = quoted(*name) + "=";
  if (value.type == reg_type::kSz) {
    if (const auto text = exactText(value.bytes)) {
      if (const auto utf8 = toUtf8(*text)) return line + quoted(*utf8);
    }
  }
  char buffer[16];
  if (value.type == reg_type::kDword && value.bytes.size() == 4) {
    const std::uint32_t number = value.bytes[0] | (value.bytes[1] << 8) | (value.bytes[2] << 16) |
                                 (static_cast<std::uint32_t>(value.bytes[3]) << 24);
    std::snprintf(buffer, sizeof buffer, "%08x", number);
    return line + "dword:" + buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%x", value.type);
  line += "hex(" + std::string(buffer) + "):";
  for (std::size_t i = 0; i < value.bytes.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i == 0 ? "%02x" : ",%02x", value.bytes[i]);
    line += buffer;
  }
  return line;
}

SettingsLine parseLine(std::string_view raw) {
  SettingsLine line;
  line.text = std::string(raw);
  std::string_view text = raw;
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  // An indented header opens a section as well, one the store does not take.
  const std::size_t first = text.find_first_not_of(" \t");
  if (first != std::string_view::npos && text[first] == '[') {
    line.kind = SettingsLine::Kind::Section;
    if (first != 0 || text.size() < 2 || text.back() != ']') return line;
    if (const auto path = fromUtf8(text.substr(1, text.size() - 2)); path && !path->empty()) {
      line.kind = SettingsLine::Kind::Key;
      line.key = *path;
    }
    return line;
  }
  if (const auto value = readValue(text)) {
    line.kind = SettingsLine::Kind::Value;
    line.value = *value;
  }
  return line;
}

bool sameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  }
  return true;
}

}  // namespace platform::linux_desktop
