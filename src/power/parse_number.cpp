#include "power/parse_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

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

  // Gather the number's characters without the skipped ones, then convert
  // them in one go so that the result is correctly rounded.
  std::string number;
  if (in.peek() == u'+' || in.peek() == u'-') {
    if (in.peek() == u'-') number.push_back('-');
    in.advance();
  }
  bool anyDigit = false;
  bool point = false;
  // Where the first significant digit stands, to tell overflow from underflow.
  long long wholeDigits = 0;   // significant digits before the point
  long long leadingZeros = 0;  // zeros after the point before the first other digit
  bool nonZero = false;
  for (; !in.atEnd(); in.advance()) {
    const char16_t c = in.peek();
    if (isDigit(c)) {
      anyDigit = true;
      if (c != u'0') nonZero = true;
      if (!point && nonZero) ++wholeDigits;
      if (point && !nonZero) ++leadingZeros;
      number.push_back(static_cast<char>(c));
    } else if (c == u'.' && !point) {
      point = true;
      number.push_back('.');
    } else {
      break;
    }
  }
  if (!anyDigit) return 0;

  // The exponent counts only when digits follow its letter and sign.
  long long exponentValue = 0;  // saturated: only its side of the range matters
  if (in.peek() == u'e' || in.peek() == u'E') {
    std::string exponent = "e";
    long long sign = 1;
    in.advance();
    if (in.peek() == u'+' || in.peek() == u'-') {
      if (in.peek() == u'-') {
        exponent.push_back('-');
        sign = -1;
      }
      in.advance();
    }
    for (; !in.atEnd() && isDigit(in.peek()); in.advance()) {
      exponent.push_back(static_cast<char>(in.peek()));
      if (exponentValue < 1'000'000'000'000LL)
        exponentValue = exponentValue * 10 + (in.peek() - u'0');
    }
    if (isDigit(exponent.back())) number += exponent;
    exponentValue *= sign;
  }

  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when it does not fit: decide between
    // overflow and underflow from where the exponent points.
    const long long order = wholeDigits > 0 ? wholeDigits - 1 : -(leadingZeros + 1);
    const bool overflow = order + exponentValue > 0;
    const double magnitude = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    return number.front() == '-' ? -magnitude : magnitude;
  }
  return error == std::errc() ? value : 0;
}

}  // namespace power
