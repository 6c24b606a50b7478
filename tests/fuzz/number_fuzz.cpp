// Any text, read as a stored hold and tested as the dialog's text in each
// locale the tests know, under ASan and UBSan.
#include <cstdint>
#include <string>

#include "power/numeric_text.h"
#include "power/switch_off.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const platform::NumberConventions locales[] = {
      {u".", u",", u"$"}, {u",", u".", u"\u20AC"}, {u",", u"\u202F", u"\u20AC"}};
  // Two bytes a character, so that separators beyond ASCII can turn up too.
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(data[i] | (data[i + 1] << 8));
  (void)power::holdMilliseconds(text);
  for (const auto& conventions : locales) (void)power::IsNumericText(text, conventions);
  return 0;
}
