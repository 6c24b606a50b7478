#include "platform/linux/settings/file.h"

#include <utility>

#include "platform/linux/utf8.h"

namespace platform::linux_desktop {

SettingsFile SettingsFile::parse(std::string_view content) {
  SettingsFile file;
  file.endsWithLineFeed_ = content.empty() || content.back() == '\n';
  bool inKey = false;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    SettingsLine line = parseLine(content.substr(0, end));
    if (opensSection(line)) inKey = line.kind == SettingsLine::Kind::Key;
    // A value before the first key, or in a section not taken, belongs to
    // none: kept, not understood.
    if (line.kind == SettingsLine::Kind::Value && !inKey) {
      line.kind = SettingsLine::Kind::Other;
    }
    file.lines_.push_back(std::move(line));
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 1);
  }
  return file;
}

std::string SettingsFile::render() const {
  std::string out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i].text;
    if (i + 1 < lines_.size() || endsWithLineFeed_) out.push_back('\n');
  }
  return out;
}

std::optional<std::size_t> SettingsFile::keyLine(std::u16string_view path) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == SettingsLine::Kind::Key && sameName(lines_[i].key, path)) return i;
  }
  return std::nullopt;
}

bool SettingsFile::hasKey(std::u16string_view path) const {
  if (path.empty()) return true;
  for (const SettingsLine& line : lines_) {
    if (line.kind != SettingsLine::Kind::Key) continue;
    const std::u16string_view key = line.key;
    if (sameName(key, path)) return true;
    if (key.size() > path.size() && key[path.size()] == u'\\' &&
        sameName(key.substr(0, path.size()), path)) {
      return true;
    }
  }
  return false;
}

const SettingsValue* SettingsFile::find(std::u16string_view path, std::u16string_view name) const {
  const auto key = keyLine(path);
  if (!key) return nullptr;
  for (std::size_t i = *key + 1; i < lines_.size(); ++i) {
    if (opensSection(lines_[i])) break;
    if (lines_[i].kind == SettingsLine::Kind::Value && sameName(lines_[i].value.name, name)) {
      return &lines_[i].value;
    }
  }
  return nullptr;
}

bool SettingsFile::addKey(std::u16string_view path) {
  if (keyLine(path)) return true;
  const auto utf8 = toUtf8(path);
  if (!utf8 || utf8->empty() || utf8->find_first_of("\r\n") != std::string::npos) return false;
  SettingsLine line = parseLine("[" + *utf8 + "]");
  if (line.kind != SettingsLine::Kind::Key) return false;
  lines_.push_back(std::move(line));
  endsWithLineFeed_ = true;
  return true;
}

bool SettingsFile::put(std::u16string_view path, SettingsValue value) {
  const auto text = valueLine(value);
  if (!text || !addKey(path)) return false;
  SettingsLine line;
  line.kind = SettingsLine::Kind::Value;
  line.text = *text;
  line.value = std::move(value);
  const std::size_t key = *keyLine(path);
  std::size_t after = key;  // the last line of the key's values
  for (std::size_t i = key + 1; i < lines_.size(); ++i) {
    if (opensSection(lines_[i])) break;
    if (lines_[i].kind != SettingsLine::Kind::Value) continue;
    if (sameName(lines_[i].value.name, line.value.name)) {
      lines_[i] = std::move(line);
      return true;
    }
    after = i;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), std::move(line));
  return true;
}

}  // namespace platform::linux_desktop
