#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::linux_desktop {

// UTF-16 to UTF-8; nullopt for a lone surrogate, which UTF-8 cannot carry.
std::optional<std::string> toUtf8(std::u16string_view text);
// UTF-8 to UTF-16; nullopt for bytes that are not well-formed UTF-8.
std::optional<std::u16string> fromUtf8(std::string_view text);

// A file name's bytes, which need not be UTF-8, and back, losing nothing:
// each byte outside a well-formed sequence becomes U+DC80..U+DCFF.
// toFileName is nullopt for a lone surrogate that no byte gave.
std::u16string fromFileName(std::string_view name);
std::optional<std::string> toFileName(std::u16string_view name);

}  // namespace platform::linux_desktop
