#include "power/numeric_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace power {
namespace {

using platform::NumberConventions;

const NumberConventions kEnUs{u".", u",", u"$"};
const NumberConventions kDeDe{u",", u".", u"\u20AC"};
const NumberConventions kFrFr{u",", u"\u202F", u"\u20AC"};

struct Case {
  std::u16string text;
  bool enUs, deDe, frFr;
};

TEST(IsNumericText, WholeTextIsOneNumberInTheUsersLocale) {
  const std::vector<Case> cases = {
      // Plain numbers, blanks around, signs before or after, parentheses.
      {u"3", true, true, true},
      {u"10", true, true, true},
      {u" 7", true, true, true},
      {u"\t7 \t", true, true, true},
      {u"-2", true, true, true},
      {u"+2", true, true, true},
      {u"2-", true, true, true},
      {u"2 +", true, true, true},
      {u"- 2", true, true, true},
      {u"(2)", true, true, true},
      {u"( 2 )", true, true, true},
      {u"-2-", false, false, false},
      {u"(-2)", false, false, false},
      {u"(2", false, false, false},
      {u"2)", false, false, false},
      {u"+-2", false, false, false},
      // Decimal and thousands separators by locale.
      {u"2.5", true, true, false},  // de-DE: a thousands separator between digits
      {u"2,5", true, true, true},
      {u".5", true, false, false},
      {u",5", false, true, true},
      {u"5.", true, false, false},
      {u"1,000.25", true, false, false},
      {u"1.000,25", false, true, false},
      {u"1\u202F000,25", false, false, true},
      {u"1,,000", false, false, false},
      {u"1.2.3", false, true, false},
      {u"1,2,3", true, false, false},
      {u"2.5,1", false, true, false},
      // Exponents.
      {u"1e1", true, true, true},
      {u"1E-2", true, true, true},
      {u"2.5e+3", true, true, false},
      {u"1e", false, false, false},
      {u"1e+", false, false, false},
      {u"e1", false, false, false},
      // Currency.
      {u"$3", true, false, false},
      {u"3$", true, false, false},
      {u"-$3", true, false, false},
      {u"$-3", true, false, false},
      {u"($3)", true, false, false},
      {u"3 \u20AC", false, true, true},
      {u"\u20AC3", false, true, true},
      {u"$", false, false, false},
      {u"$$3", false, false, false},
      // Hexadecimal and octal.
      {u"&H1F", true, true, true},
      {u"&hff", true, true, true},
      {u" &O17 ", true, true, true},
      {u"&O8", false, false, false},
      {u"&H", false, false, false},
      {u"&HG", false, false, false},
      {u"-&H1", false, false, false},
      // Near misses and nothing at all.
      {u"", false, false, false},
      {u"   ", false, false, false},
      {u"-", false, false, false},
      {u"+", false, false, false},
      {u".", false, false, false},
      {u",", false, false, false},
      {u"3x", false, false, false},
      {u"x3", false, false, false},
      {u"3 sec", false, false, false},
      {u"1 0", false, false, false},
      {u"\u0663", false, false, false},  // an Arabic-Indic digit
  };
  for (const Case& c : cases) {
    const std::string shown(c.text.begin(), c.text.end());
    EXPECT_EQ(IsNumericText(c.text, kEnUs), c.enUs) << "en-US: " << shown;
    EXPECT_EQ(IsNumericText(c.text, kDeDe), c.deDe) << "de-DE: " << shown;
    EXPECT_EQ(IsNumericText(c.text, kFrFr), c.frFr) << "fr-FR: " << shown;
  }
}

}  // namespace
}  // namespace power
