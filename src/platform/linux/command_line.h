#pragma once

#include <string>
#include <vector>

namespace platform::linux_desktop {

// The program's own arguments: argv without its name and without the options
// that QApplication takes for itself (-display NAME, -platform NAME, -reverse,
// ...; with one dash or two, and a value after a blank or an "=").
std::vector<std::u16string> ownArguments(int argc, char** argv);

}  // namespace platform::linux_desktop
