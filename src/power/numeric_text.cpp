#include "power/numeric_text.h"

namespace power {
namespace {

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}
bool isDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool isSign(char16_t c) {
  return c == u'+' || c == u'-';
}

bool isDigitOf(char16_t c, int radix) {
  if (radix == 8) return c >= u'0' && c <= u'7';
  if (radix == 10) return isDigit(c);
  return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A cursor over the text with the small steps the grammar needs.
class Scanner {
 public:
  explicit Scanner(std::u16string_view text) : text_(text) {}

  bool atEnd() const { return pos_ == text_.size(); }
  char16_t peek() const { return atEnd() ? u'\0' : text_[pos_]; }
  void skipBlanks() {
    while (!atEnd() && isBlank(text_[pos_])) ++pos_;
  }
  bool take(std::u16string_view literal) {
    if (literal.empty() || text_.substr(pos_, literal.size()) != literal) return false;
    pos_ += literal.size();
    return true;
  }
  bool takeSign() {
    if (!isSign(peek())) return false;
    ++pos_;
    return true;
  }
  std::size_t takeDigits(int radix = 10) {
    const std::size_t start = pos_;
    while (!atEnd() && isDigitOf(text_[pos_], radix)) ++pos_;
    return pos_ - start;
  }
  bool takeCaseless(char16_t upper) {
    if (peek() != upper && peek() != static_cast<char16_t>(upper - u'A' + u'a')) return false;
    ++pos_;
    return true;
  }
  std::size_t position() const { return pos_; }
  void rewind(std::size_t pos) { pos_ = pos; }

 private:
  std::u16string_view text_;
  std::size_t pos_ = 0;
};

// "&H" hexadecimal or "&O" octal digits, with blanks around.
bool isRadixNumber(std::u16string_view text) {
  Scanner in(text);
  in.skipBlanks();
  if (!in.take(u"&")) return false;
  const int radix = in.takeCaseless(u'H') ? 16 : in.takeCaseless(u'O') ? 8 : 0;
  if (radix == 0 || in.takeDigits(radix) == 0) return false;
  in.skipBlanks();
  return in.atEnd();
}

// Digits with separators and an optional exponent: the number without sign,
// parentheses or currency.
bool takeMantissa(Scanner& in, const platform::NumberConventions& conventions) {
  std::size_t digits = in.takeDigits();
  // Thousands separators only between whole-number digits.
  if (digits > 0) {
    for (;;) {
      const std::size_t before = in.position();
      if (in.take(conventions.thousandsSeparator) && in.takeDigits() > 0) continue;
      in.rewind(before);
      break;
    }
  }
  if (in.take(conventions.decimalSeparator)) digits += in.takeDigits();
  if (digits == 0) return false;

  const std::size_t beforeExponent = in.position();
  if (in.takeCaseless(u'E')) {
    in.takeSign();
    if (in.takeDigits() == 0) in.rewind(beforeExponent);
  }
  return true;
}

bool takeCurrency(Scanner& in, const platform::NumberConventions& conventions) {
  const std::size_t before = in.position();
  in.skipBlanks();
  if (in.take(conventions.currencySymbol)) {
    in.skipBlanks();
    return true;
  }
  in.rewind(before);
  return false;
}

}  // namespace

bool IsNumericText(std::u16string_view text, const platform::NumberConventions& conventions) {
  if (isRadixNumber(text)) return true;

  Scanner in(text);
  in.skipBlanks();
  const bool parenthesis = in.take(u"(");
  in.skipBlanks();
  bool currency = takeCurrency(in, conventions);
  bool sign = false;
  if (!parenthesis) {
    sign = in.takeSign();
    in.skipBlanks();
  }
  if (!currency) currency = takeCurrency(in, conventions);
  if (!takeMantissa(in, conventions)) return false;
  if (!currency) takeCurrency(in, conventions);
  in.skipBlanks();
  if (parenthesis) {
    if (!in.take(u")")) return false;
  } else if (!sign) {
    in.takeSign();
  }
  in.skipBlanks();
  return in.atEnd();
}

}  // namespace power
