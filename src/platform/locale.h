#pragma once

#include <string>

namespace platform {

// How the user's locale writes numbers.
struct NumberConventions {
  std::u16string decimalSeparator;
  std::u16string thousandsSeparator;
  std::u16string currencySymbol;
};

class Locale {
 public:
  virtual ~Locale() = default;
  // The current user's conventions, read afresh.
  virtual NumberConventions numberConventions() = 0;
};

}  // namespace platform
