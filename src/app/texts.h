#pragma once

#include <string>

namespace app {

// The three process-wide texts, set once by Main and read-only afterwards.
struct ProcessTexts {
  std::u16string SiteUrl;
  std::u16string SettingsKeyPath;
  std::u16string AppFolder;
};

}  // namespace app
