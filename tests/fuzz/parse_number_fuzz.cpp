// Any text at all, read as a stored hold, under ASan and UBSan.
#include <cstdint>
#include <string>

#include "power/switch_off.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One character a byte: the digits, signs and letters the parse looks at are all single bytes.
  (void)power::holdMilliseconds(std::u16string(data, data + size));
  return 0;
}
