// Any text at all, read as a stored hold: the parse must not misbehave and the
// hold must land in 0..10000 ms. Read as plain decimal digits, the same bytes
// must give the double the C library's correctly rounded strtod gives.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "power/parse_number.h"
#include "power/switch_off.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Bytes as they come, one character each: the digits, signs and letters the
  // parse looks at are all single bytes.
  std::u16string text(data, data + size);
  (void)power::ParseLeadingNumber(text);
  const std::uint32_t ms = power::holdMilliseconds(text);
  if (ms > power::kLongestHoldMs) std::abort();

  // The first byte places the point, the second the exponent (times 3), the
  // rest are digits ("0".."9" stand for themselves).
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
