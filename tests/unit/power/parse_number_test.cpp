#include "power/parse_number.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace power {
namespace {

TEST(ParseLeadingNumber, ReadsTheNumberAtTheStart) {
  // A carriage return is not skipped.
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<std::pair<std::u16string, double>> cases = {
      {u"", 0},      {u"3", 3},         {u"2.5", 2.5}, {u"10.001", 10.001}, {u".5", 0.5},
      {u"5.", 5},    {u".", 0},         {u"-", 0},     {u"+7", 7},          {u"-2.5", -2.5},
      {u"- 2", -2},  {u"+-2", 0},       {u"1 0", 10},  {u" \t\n1\n0 ", 10}, {u"3 sec", 3},
      {u"2,5", 2},   {u"1.2.3", 1.2},   {u"x3", 0},    {u"\r3", 0},         {u"1e1", 10},
      {u"1E2", 100}, {u"2.5e-1", 0.25}, {u"1e+1", 10}, {u"1 e 1", 10},      {u"1e", 1},
      {u"1e+", 1},   {u"1ex", 1},       {u"&H10", 16}, {u"&hff", 255},      {u" &H 1 0", 16},
      {u"&O17", 15}, {u"&o8", 0},       {u"&H", 0},    {u"&Hg", 0},         {u"&X1", 0}};
  // Beyond a double's range, and hexadecimal digits with no wrap-around.
  const std::u16string nines(400, u'9'), hexes = u"&H" + std::u16string(300, u'F');
  const std::u16string tenth = u"0." + std::u16string(400, u'0') + u"1e400";
  const std::u16string huge = u"1e99999999999999999999999", f16 = u"&HFFFFFFFFFFFFFFFF";
  const std::vector<std::pair<std::u16string, double>> far = {
      {u"1e308", 1e308}, {u"1e400", inf},
      {u"-1e400", -inf}, {u"1e-400", 0},
      {nines, inf},      {u"0.000001e310", 1e304},
      {huge, inf},       {tenth, 1e-1},
      {hexes, inf},      {u"&HFFFFFFFF", 4294967295.0},
      {f16, 0x1p64}};
  // Correctly rounded: halves to the even neighbour, a digit past the 800th
  // still counts, subnormals, the edge of the range.
  const double least = std::numeric_limits<double>::denorm_min();
  const std::vector<std::pair<std::u16string, double>> rounded = {
      {u"9007199254740993", 9007199254740992.0},
      {u"9007199254740995", 9007199254740996.0},
      {u"9007199254740993." + std::u16string(800, u'0') + u"1", 9007199254740994.0},
      {u"4.9406564584124654e-324", least},
      {u"2.4703282292062327e-324", 0},
      {u"1.7976931348623158e308", std::numeric_limits<double>::max()},
      {u"1.7976931348623159e308", inf}};
  cases.insert(cases.end(), rounded.begin(), rounded.end());
  cases.insert(cases.end(), far.begin(), far.end());
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseLeadingNumber(text), expected) << std::string(text.begin(), text.end());
  }
}

}  // namespace
}  // namespace power
