#include "platform/linux/utf8.h"

namespace platform::linux_desktop {

namespace {

// The code point of the well-formed UTF-8 sequence at the start of text and
// its length; length 0 when the sequence is not well-formed.
struct Decoded {
  char32_t c;
  std::size_t length;
};

Decoded decodeOne(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  char32_t c = 0;
  char32_t least = 0;  // the smallest code point of this length: no overlong forms
  if (lead < 0x80) {
    return {lead, 1};
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() < length) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[k]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    c = (c << 6) | (next & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {0, 0};
  return {c, length};
}

void appendUtf16(std::u16string& out, char32_t c) {
  if (c >= 0x10000) {
    out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(c));
  }
}

// A byte of a file name that is not UTF-8 travels as a lone low surrogate,
// which no well-formed text holds.
constexpr char16_t kEscapedByte = 0xDC00;

// UTF-16 to UTF-8; with escapes, a lone U+DC80..U+DCFF is its byte.
std::optional<std::string> encode(std::u16string_view text, bool escapes) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (escapes && c >= kEscapedByte + 0x80 && c <= kEscapedByte + 0xFF) {
      out.push_back(static_cast<char>(c - kEscapedByte));
      continue;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return std::nullopt;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace

std::optional<std::u16string> fromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const Decoded one = decodeOne(text);
    if (one.length == 0) return std::nullopt;
    appendUtf16(out, one.c);
    text.remove_prefix(one.length);
  }
  return out;
}

std::u16string fromFileName(std::string_view name) {
  std::u16string out;
  out.reserve(name.size());
  while (!name.empty()) {
    const Decoded one = decodeOne(name);
    if (one.length == 0) {
      out.push_back(static_cast<char16_t>(kEscapedByte + static_cast<unsigned char>(name[0])));
      name.remove_prefix(1);
    } else {
      appendUtf16(out, one.c);
      name.remove_prefix(one.length);
    }
  }
  return out;
}

std::optional<std::string> toUtf8(std::u16string_view text) {
  return encode(text, false);
}

std::optional<std::string> toFileName(std::u16string_view name) {
  return encode(name, true);
}

}  // namespace platform::linux_desktop
