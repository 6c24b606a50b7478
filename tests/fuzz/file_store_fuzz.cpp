// Any bytes as a settings file: the reader must not misbehave, a write after
// the read must keep every line it did not understand, in order and as it
// was, and the value written must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/settings/file.h"
#include "platform/registry.h"

using platform::linux_desktop::SettingsFile;
using platform::linux_desktop::SettingsLine;
using platform::linux_desktop::SettingsValue;

namespace {

std::vector<std::string> otherLines(const SettingsFile& file) {
  std::vector<std::string> lines;
  for (const SettingsLine& line : file.lines()) {
    if (line.kind == SettingsLine::Kind::Other || line.kind == SettingsLine::Kind::Section) {
      lines.push_back(line.text);
    }
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  SettingsFile file = SettingsFile::parse(content);
  const std::vector<std::string> before = otherLines(file);
  const std::u16string key = u"Software\\Velmarind\\Tenebrolite";
  // The value's data comes from the input too: text or any bytes.
  SettingsValue value{u"Holdit", platform::reg_type::kSz, {}};
  for (std::size_t i = 0; i < size && i < 16; ++i) value.bytes.push_back(data[i]);
  if (size % 3 == 0) value.type = static_cast<std::uint32_t>(size);
  if (!file.put(key, value)) std::abort();

  const SettingsFile again = SettingsFile::parse(file.render());
  if (otherLines(again) != before) std::abort();
  const SettingsValue* read = again.find(key, u"HOLDIT");
  if (read == nullptr || read->type != value.type || read->bytes != value.bytes) std::abort();
  return 0;
}
