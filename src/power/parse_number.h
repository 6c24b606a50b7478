#pragma once

#include <string_view>

namespace power {

// Reads the number at the start of a text; 0 when there is none.
//
// - Blanks, tabs and line feeds are skipped wherever they stand ("1 0" is 10).
// - An optional sign, decimal digits with at most one "." (always the period,
//   whatever the locale), and an optional exponent: E or e, a sign, digits.
// - Reading stops at the first character that cannot continue the number.
// - "&H" or "&O" (either case) at the start read the hexadecimal or octal
//   digits that follow as a non-negative whole number, however many there are
//   (exact up to 2^53, rounded beyond; no sign, no 16- or 32-bit wrap-around).
// - Beyond a double's range a number reads as +/-infinity; closer to zero than
//   the smallest double it reads as 0.
double ParseLeadingNumber(std::u16string_view text);

}  // namespace power
