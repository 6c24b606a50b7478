// Any text, read as a stored hold and tested as the dialog's text in each
// locale the tests know, under ASan and UBSan. Read as plain decimal digits,
// the same bytes must give the double that the C library's correctly rounded
// strtod gives.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "power/numeric_text.h"
#include "power/parse_number.h"
#include "power/switch_off.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const platform::NumberConventions locales[] = {
      {u".", u",", u"$"}, {u",", u".", u"\u20AC"}, {u",", u"\u202F", u"\u20AC"}};
  // Two bytes a character, so that separators beyond ASCII can turn up too.
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(data[i] | (data[i + 1] << 8));
  (void)power::holdMilliseconds(text);
  for (const auto& conventions : locales) (void)power::IsNumericText(text, conventions);

  // The first byte places the point, the second the exponent (times 3), the
  // rest are digits.
  if (size < 3) return 0;
  std::string plain;
  for (std::size_t i = 2; i < size; ++i) {
    if (i - 2 == data[0]) plain += '.';
    plain += static_cast<char>('0' + (data[i] & 0x0F) % 10);
  }
  plain += 'e' + std::to_string(static_cast<std::int8_t>(data[1]) * 3);
  const double parsed = power::ParseLeadingNumber(std::u16string(plain.begin(), plain.end()));
  const double expected = std::strtod(plain.c_str(), nullptr);
  if (std::bit_cast<std::uint64_t>(parsed) != std::bit_cast<std::uint64_t>(expected)) std::abort();
  return 0;
}
