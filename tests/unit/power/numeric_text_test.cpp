#include "power/numeric_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace power {
namespace {

using Case = std::pair<std::u16string, std::string>;

TEST(IsNumericText, WholeTextIsOneNumberInTheUsersLocale) {
  // en-US, de-DE and fr-FR (whose thousands separator is U+202F).
  const platform::NumberConventions locales[] = {
      {u".", u",", u"$"}, {u",", u".", u"\u20AC"}, {u",", u"\u202F", u"\u20AC"}};
  // Whether each text is a number in those three (the last: an Arabic-Indic digit).
  const std::vector<Case> blanksSignsParentheses = {
      {u"3", "111"},   {u" 7", "111"},   {u"\t7 \t", "111"}, {u"-2", "111"},  {u"+2", "111"},
      {u"2-", "111"},  {u"2 +", "111"},  {u"- 2", "111"},    {u"(2)", "111"}, {u"( 2 )", "111"},
      {u"-2-", "000"}, {u"(-2)", "000"}, {u"(2", "000"},     {u"2)", "000"},  {u"+-2", "000"}};
  const std::vector<Case> separatorsAndExponents = {
      {u"2.5", "110"},   {u"2,5", "111"},          {u".5", "100"},       {u",5", "011"},
      {u"5.", "100"},    {u"1,000.25", "100"},     {u"1.000,25", "010"}, {u"1,,000", "000"},
      {u"1.2.3", "010"}, {u"1,2,3", "100"},        {u"2.5,1", "010"},    {u"1e1", "111"},
      {u"1E-2", "111"},  {u"2.5e+3", "110"},       {u"1e", "000"},       {u"1e+", "000"},
      {u"e1", "000"},    {u"1\u202F000,25", "001"}};
  const std::vector<Case> others = {
      {u"$3", "100"},    {u"3$", "100"},       {u"-$3", "100"},     {u"$-3", "100"},
      {u"($3)", "100"},  {u"3 \u20AC", "011"}, {u"\u20AC3", "011"}, {u"$", "000"},
      {u"$$3", "000"},   {u"&H1F", "111"},     {u"&hff", "111"},    {u" &O17 ", "111"},
      {u"&O8", "000"},   {u"&H", "000"},       {u"&HG", "000"},     {u"-&H1", "000"},
      {u"", "000"},      {u"   ", "000"},      {u"-", "000"},       {u"+", "000"},
      {u".", "000"},     {u",", "000"},        {u"3x", "000"},      {u"x3", "000"},
      {u"3 sec", "000"}, {u"1 0", "000"},      {u"\u0663", "000"}};
  for (const auto& cases : {blanksSignsParentheses, separatorsAndExponents, others}) {
    for (const auto& [text, expected] : cases) {
      std::string got;
      for (const auto& locale : locales) got += IsNumericText(text, locale) ? '1' : '0';
      EXPECT_EQ(got, expected) << std::string(text.begin(), text.end());
    }
  }
}

}  // namespace
}  // namespace power
