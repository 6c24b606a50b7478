#include "power/parse_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace power {
namespace {

TEST(ParseLeadingNumber, ReadsTheNumberAtTheStart) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    std::u16string text;
    double expected;
  } cases[] = {
      {u"", 0},
      {u"3", 3},
      {u"2.5", 2.5},
      {u"10", 10},
      {u"10.001", 10.001},
      {u"0.0625", 0.0625},
      {u".5", 0.5},
      {u"5.", 5},
      {u".", 0},
      {u"-", 0},
      {u"+7", 7},
      {u"-2.5", -2.5},
      {u"- 2", -2},
      {u"+-2", 0},
      {u"1 0", 10},
      {u" \t\n1\n0 ", 10},
      {u"3 sec", 3},
      {u"2,5", 2},
      {u"1.2.3", 1.2},
      {u"abc", 0},
      {u"x3", 0},
      {u"\r3", 0},  // a carriage return is not skipped
      {u"1e1", 10},
      {u"1E2", 100},
      {u"2.5e-1", 0.25},
      {u"1e+1", 10},
      {u"1 e 1", 10},
      {u"1e", 1},
      {u"1e+", 1},
      {u"1ex", 1},
      {u"&H10", 16},
      {u"&hff", 255},
      {u" &H 1 0", 16},
      {u"&O17", 15},
      {u"&o8", 0},
      {u"&H", 0},
      {u"&Hg", 0},
      {u"&X1", 0},
      {u"&HFFFFFFFF", 4294967295.0},  // no 32-bit wrap-around
      {u"&HFFFFFFFFFFFFFFFF", 18446744073709551615.0},
      {u"1e400", inf},
      {u"-1e400", -inf},
      {u"1e-400", 0},
      {u"1e99999999999999999999999", inf},
      {u"0.000001e310", 1e304},
      {std::u16string(400, u'9'), inf},
      {u"0." + std::u16string(400, u'0') + u"1e400", 1e-1},
      // Correctly rounded: halves to the even neighbour, a digit past the
      // 800th still counts, subnormals, the edge of the range.
      {u"9007199254740993", 9007199254740992.0},
      {u"9007199254740995", 9007199254740996.0},
      {u"9007199254740993." + std::u16string(800, u'0') + u"1", 9007199254740994.0},
      {u"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      {u"2.4703282292062327e-324", 0},
      {u"1.7976931348623158e308", std::numeric_limits<double>::max()},
      {u"1.7976931348623159e308", inf},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseLeadingNumber(c.text), c.expected)
        << "text of " << c.text.size() << " units starting "
        << std::string(c.text.begin(), c.text.begin() + std::min<std::size_t>(c.text.size(), 12));
  }
}

TEST(ParseLeadingNumber, HugeHexadecimalGrowsPastTheDoubleRange) {
  EXPECT_EQ(ParseLeadingNumber(u"&H" + std::u16string(300, u'F')),
            std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace power
