// Any text in each supported locale: the numeric test must not misbehave, and
// whatever it accepts must also give a hold inside 0..10000 ms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "power/numeric_text.h"
#include "power/switch_off.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const platform::NumberConventions locales[] = {
      {u".", u",", u"$"}, {u",", u".", u"\u20AC"}, {u",", u"\u202F", u"\u20AC"}};
  // Two bytes a character, so that separators beyond ASCII can turn up too.
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  for (const auto& conventions : locales) {
    if (power::IsNumericText(text, conventions) &&
        power::holdMilliseconds(text) > power::kLongestHoldMs) {
      std::abort();
    }
  }
  return 0;
}
