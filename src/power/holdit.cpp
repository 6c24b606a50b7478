#include "power/holdit.h"

#include "identity.h"
#include "power/numeric_text.h"
#include "power/parse_number.h"
#include "settings/catalogue.h"
#include "settings/registry_store.h"

namespace power {

using namespace platform;

namespace {

constexpr std::u16string_view kCaption = u" Mouse delay";
constexpr std::u16string_view kFirstText = u"3";

// The dialog as designed, in twips: client area, its place on the screen, and
// the controls in tab order.
constexpr int kClientWidth = 4515, kClientHeight = 720;
constexpr int kClientLeft = 6075, kClientTop = 6165;

struct ControlTwips {
  Holdit::Control id;
  ControlKind kind;
  std::u16string_view text;
  int left, top, width, height;
};

constexpr ControlTwips kControls[] = {
    {Holdit::Label1, ControlKind::Label, u"Hold (sec)", 180, 225, 825, 240},
    {Holdit::text1, ControlKind::TextBox, kFirstText, 1035, 180, 585, 330},
    {Holdit::Command1, ControlKind::PushButton, u"&Apply", 2865, 195, 720, 345},
    {Holdit::Command2, ControlKind::PushButton, u"&Cancel", 3675, 195, 720, 345},
};

}  // namespace

int twipsToPixels(int twips, unsigned dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled + 720) / 1440);  // twips and dpi are never negative
}

Holdit::Holdit(WindowSystem& windows, Registry& registry, Locale& locale,
               const std::u16string& settingsKeyPath)
    : windows_(windows), registry_(registry), locale_(locale), settingsKeyPath_(settingsKeyPath) {}

Holdit::~Holdit() {
  unload();
}

DialogLayout Holdit::layout(unsigned dpi) {
  DialogLayout design;
  design.caption = std::u16string(kCaption);
  design.dpi = dpi;
  design.client = {twipsToPixels(kClientLeft, dpi), twipsToPixels(kClientTop, dpi),
                   twipsToPixels(kClientWidth, dpi), twipsToPixels(kClientHeight, dpi)};
  for (const ControlTwips& c : kControls) {
    design.controls.push_back({c.id,
                               c.kind,
                               std::u16string(c.text),
                               {twipsToPixels(c.left, dpi), twipsToPixels(c.top, dpi),
                                twipsToPixels(c.width, dpi), twipsToPixels(c.height, dpi)}});
  }
  return design;
}

void Holdit::Show() {
  if (loaded()) {
    windows_.bringToFront(window_);
    return;
  }
  // The dpi of the monitor the dialog opens on: where its corner lands at the
  // primary monitor's dpi.
  const unsigned primaryDpi = windows_.dpiAt(0, 0);
  const unsigned dpi =
      windows_.dpiAt(twipsToPixels(kClientLeft, primaryDpi), twipsToPixels(kClientTop, primaryDpi));
  window_ = windows_.loadDialog(layout(dpi), *this);
}

void Holdit::text1_Change() {
  const std::u16string text = windows_.controlText(window_, text1);
  // Setting the text changes it once more; "3" is a number and ends it there.
  if (!IsNumericText(text, locale_.numberConventions())) {
    windows_.setControlText(window_, text1, std::u16string(kFirstText));
  }
}

void Holdit::Command1_Click() {
  const std::u16string text = windows_.controlText(window_, text1);
  if (ParseLeadingNumber(text) > 10) {
    windows_.messageBox(window_, std::u16string(kTooLongMessage),
                        std::u16string(identity::kApplicationTitle), mb::kOk);
    return;
  }
  // Stored exactly as typed; the switch-off parses it again at each use.
  settings::SaveRegText(registry_, RegRoot::CurrentUser, settingsKeyPath_,
                        std::u16string(settings::kHoldit), text);
  unload();
}

void Holdit::Command2_Click() {
  unload();
}

void Holdit::onTextChanged(int control) {
  if (control == text1) text1_Change();
}

void Holdit::onClicked(int control) {
  if (control == Command1) Command1_Click();
  if (control == Command2) Command2_Click();
}

void Holdit::onUnloaded() {
  window_ = 0;
}

void Holdit::unload() {
  if (loaded()) windows_.unloadWindow(window_);
  window_ = 0;
}

}  // namespace power
