#pragma once

#include <string>
#include <vector>

namespace platform::linux_desktop {

// argv, read once before QApplication takes its own options out of it.
struct Arguments {
  // The program's own arguments: without its name and without the options
  // that QApplication takes for itself (-display NAME, -platform NAME,
  // -reverse, ...; with one dash or two, a value after a blank, or after an
  // "=" for -style, -stylesheet and -qmljsdebugger). Any other is the program's.
  std::vector<std::u16string> own;
  // The X display Qt's xcb platform opens: the last "-display NAME", else
  // $DISPLAY as it is at the start. A DISPLAY changed later, by the program
  // or a library, cannot split the hold's grabs from the program's windows.
  std::string x11Display;
};

Arguments readArguments(int argc, char** argv);

}  // namespace platform::linux_desktop
