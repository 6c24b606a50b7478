#include "app/command_line.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(CommandLine, OptionsOfEachPlatform) {
  using enum Command;
  const struct {
    std::vector<std::u16string> args;
    Command linux, windows;
  } cases[] = {
      {{}, Start, Start},
      {{u"--switch-off"}, SwitchOff, SwitchOff},
      {{u"/switchoff"}, Unknown, SwitchOff},
      {{u"/SwitchOff"}, Unknown, SwitchOff},
      {{u"--SWITCH-OFF"}, Unknown, SwitchOff},
      {{u"--help"}, Help, Help},
      {{u"/?"}, Unknown, Help},
      {{u"--switch-off", u"--help"}, Help, Help},
      {{u"--help", u"--switch-off"}, Help, Help},
      {{u"--switch-off", u"--bogus"}, Unknown, Unknown},
      {{u"--help", u"x"}, Unknown, Unknown},
      {{u"--switch-of"}, Unknown, Unknown},
      {{u""}, Unknown, Unknown},
      // Only ASCII folds: a dotless i is another letter.
      {{u"/swıtchoff"}, Unknown, Unknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parseCommandLine(c.args, OptionStyle::Linux), c.linux);
    EXPECT_EQ(parseCommandLine(c.args, OptionStyle::Windows), c.windows);
  }
}

}  // namespace
}  // namespace app
