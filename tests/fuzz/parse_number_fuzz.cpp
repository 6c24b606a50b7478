// Any text at all, read as a stored hold: the parse must not misbehave and the
// hold must land in 0..10000 ms.
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
  return 0;
}
