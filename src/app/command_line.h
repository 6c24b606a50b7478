#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// What a run was asked to do.
enum class Command {
  Start,      // no option: the icon, until Exit
  SwitchOff,  // the display off and the hold, then the run ends
  Help,       // the options are shown
  Unknown,    // an option the program does not know: the options are shown
};

// Linux: "--switch-off" and "--help". Windows: "/switchoff" (or
// "--switch-off") and "/?" (or "--help"), matched without regard to case.
enum class OptionStyle { Linux, Windows };

// args: the program's own arguments, without its name (and, on Linux, without
// the toolkit's options). An unknown argument wins over the others, then
// help: a run that was asked for something it cannot do does nothing else.
Command parseCommandLine(const std::vector<std::u16string>& args, OptionStyle style);

// What the options are, for --help and for an unknown option.
std::u16string usageText(OptionStyle style);

}  // namespace app
