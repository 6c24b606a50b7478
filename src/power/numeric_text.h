#pragma once

#include <string_view>

#include "platform/locale.h"

namespace power {

// Whether the whole text is one number as the user's locale writes it:
//
//   blanks* ( "(" number ")" | sign? number | number sign? ) blanks*
//
// where a number is its digits with at most one decimal separator, thousands
// separators only between whole-number digits, an optional exponent (E or e,
// a sign, digits), and the locale's currency symbol, if any, just before or
// just after it (blanks allowed between). "&H" with hexadecimal digits and
// "&O" with octal digits are numbers too. Blanks are spaces and tabs. The
// empty text, blanks only, a lone sign or separator, and anything with another
// character are not numbers.
bool IsNumericText(std::u16string_view text, const platform::NumberConventions& conventions);

}  // namespace power
