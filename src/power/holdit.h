#pragma once

#include <string>

#include "platform/locale.h"
#include "platform/registry.h"
#include "platform/window.h"

namespace power {

// The hold-time dialog " Mouse delay": one text box for the seconds, Apply to
// store them in "Holdit", Cancel to leave it. It only writes the value, so it
// always opens showing "3".
class Holdit final : public platform::DialogEvents {
 public:
  enum Control : int { Label1 = 1001, text1, Command1, Command2 };

  Holdit(platform::WindowSystem& windows, platform::Registry& registry, platform::Locale& locale,
         const std::u16string& settingsKeyPath);
  ~Holdit() override;
  Holdit(const Holdit&) = delete;
  Holdit& operator=(const Holdit&) = delete;

  // Loads the dialog with its first text, or brings the open one to the front.
  void Show();
  bool loaded() const { return window_ != 0; }

  void text1_Change();
  void Command1_Click();  // Apply
  void Command2_Click();  // Cancel

  // The dialog's geometry at a dpi: twips become pixels, rounded to the nearest.
  static platform::DialogLayout layout(unsigned dpi);

  // DialogEvents
  void onTextChanged(int control) override;
  void onClicked(int control) override;
  void onUnloaded() override;

 private:
  void unload();

  platform::WindowSystem& windows_;
  platform::Registry& registry_;
  platform::Locale& locale_;
  const std::u16string& settingsKeyPath_;
  platform::WindowHandle window_ = 0;
};

inline constexpr std::u16string_view kTooLongMessage =
    u"Values over 10 seconds are not recommended. Set a lower value";

// Twips (1/1440 inch) to pixels at a dpi, to the nearest pixel.
int twipsToPixels(int twips, unsigned dpi);

}  // namespace power
