#include "power/parse_number.h"

#include "power/decimal_number.h"

namespace power {
namespace {

bool isSkipped(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n';
}
bool isDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return 99;
}

// Walks a text while skipping blanks, tabs and line feeds.
class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) { skip(); }
  bool atEnd() const { return pos_ >= text_.size(); }
  char16_t peek() const { return atEnd() ? u'\0' : text_[pos_]; }
  // The character after the current one, blanks between them skipped.
  char16_t peekSecond() const {
    std::size_t next = pos_ + 1;
    while (next < text_.size() && isSkipped(text_[next])) ++next;
    return next < text_.size() ? text_[next] : u'\0';
  }
  void advance() {
    ++pos_;
    skip();
  }

 private:
  void skip() {
    while (pos_ < text_.size() && isSkipped(text_[pos_])) ++pos_;
  }
  std::u16string_view text_;
  std::size_t pos_ = 0;
};

double readRadix(Reader& in, int radix) {
  double value = 0;
  while (!in.atEnd() && digitValue(in.peek()) < radix) {
    value = value * radix + digitValue(in.peek());
    in.advance();
  }
  return value;
}

}  // namespace

double ParseLeadingNumber(std::u16string_view text) {
  Reader in(text);
  if (in.peek() == u'&') {
    const char16_t kind = in.peekSecond();
    if (kind == u'H' || kind == u'h' || kind == u'O' || kind == u'o') {
      in.advance();
      in.advance();
      return readRadix(in, kind == u'H' || kind == u'h' ? 16 : 8);
    }
    return 0;
  }

  bool negative = false;
  if (in.peek() == u'+' || in.peek() == u'-') {
    negative = in.peek() == u'-';
    in.advance();
  }
  // Converted in one go once all digits are in, so that the result is
  // correctly rounded.
  DecimalNumber number;
  bool anyDigit = false;
  bool point = false;
  for (; !in.atEnd(); in.advance()) {
    const char16_t c = in.peek();
    if (isDigit(c)) {
      anyDigit = true;
      number.addDigit(c - u'0', point);
    } else if (c == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0;

  // The exponent counts only when digits follow its letter and sign.
  if (in.peek() == u'e' || in.peek() == u'E') {
    in.advance();
    long long sign = 1;
    if (in.peek() == u'+' || in.peek() == u'-') {
      if (in.peek() == u'-') sign = -1;
      in.advance();
    }
    bool exponentDigits = false;
    long long exponent = 0;  // saturated: beyond this any number is 0 or infinite
    for (; !in.atEnd() && isDigit(in.peek()); in.advance()) {
      exponentDigits = true;
      if (exponent < 1'000'000'000'000LL) exponent = exponent * 10 + (in.peek() - u'0');
    }
    if (exponentDigits) number.addExponent(sign * exponent);
  }
  return number.toDouble(negative);
}

}  // namespace power
