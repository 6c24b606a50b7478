#include "app/command_line.h"

#include <algorithm>

namespace app {
namespace {

struct Option {
  std::u16string_view text;
  OptionStyle style;
  Command command;
};

constexpr Option kOptions[] = {
    {u"--switch-off", OptionStyle::Linux, Command::SwitchOff},
    {u"--help", OptionStyle::Linux, Command::Help},
    {u"/switchoff", OptionStyle::Windows, Command::SwitchOff},
    {u"--switch-off", OptionStyle::Windows, Command::SwitchOff},
    {u"/?", OptionStyle::Windows, Command::Help},
    {u"--help", OptionStyle::Windows, Command::Help},
};

// Windows' options are ASCII: only A..Z fold.
char16_t foldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool sameOption(std::u16string_view given, std::u16string_view option, OptionStyle style) {
  if (style == OptionStyle::Linux) return given == option;
  return std::ranges::equal(given, option,
                            [](char16_t a, char16_t b) { return foldAscii(a) == b; });
}

}  // namespace

Command parseCommandLine(const std::vector<std::u16string>& args, OptionStyle style) {
  Command command = Command::Start;
  for (const std::u16string& arg : args) {
    const auto known = std::ranges::find_if(kOptions, [&](const Option& option) {
      return option.style == style && sameOption(arg, option.text, style);
    });
    if (known == std::end(kOptions)) return Command::Unknown;
    if (known->command == Command::Help || command == Command::Start) command = known->command;
  }
  return command;
}

std::u16string usageText(OptionStyle style) {
  if (style == OptionStyle::Windows) {
    return u"Tenebrolite.exe [/switchoff | /?]\n\n"
           u"Without an option, Tenebrolite puts its icon in the notification area.\n\n"
           u"/switchoff\tSwitches the display off and holds the keyboard and the mouse for the "
           u"time set under Anti shake, then ends. A running Tenebrolite is left as it is.\n"
           u"/?\tShows this text.";
  }
  return u"Usage: tenebrolite [--switch-off | --help]\n"
         u"Without an option, Tenebrolite puts its icon in the notification area.\n\n"
         u"  --switch-off  switch the display off and hold the keyboard and the mouse for\n"
         u"                the time set under Anti shake, then end; a running Tenebrolite\n"
         u"                is left as it is\n"
         u"  --help        show this text\n";
}

}  // namespace app
