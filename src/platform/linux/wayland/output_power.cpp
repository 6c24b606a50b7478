#include "platform/linux/wayland/output_power.h"

#include <algorithm>
#include <utility>

#include "dpms-client.h"
#include "wlr-output-power-management-unstable-v1-client.h"

namespace platform::linux_desktop::wayland {

struct OutputPower::Control {
  OutputPower* owner = nullptr;
  wl_output* output = nullptr;
  zwlr_output_power_v1* wlr = nullptr;
  org_kde_kwin_dpms* dpms = nullptr;
  // The compositor can switch it (no failed answer; DPMS supported).
  bool usable = false;
  // Switched off at the click, so the guard keeps it off.
  bool held = false;
  // Switched off by this program, and not reported on since.
  bool off = false;
  // The compositor's first report of the mode, sent when the control is
  // made, tells the mode from before any request of this program's.
  bool reported = false;

  ~Control() {
    if (wlr != nullptr) zwlr_output_power_v1_destroy(wlr);
    if (dpms != nullptr) org_kde_kwin_dpms_release(dpms);
  }

  void reportedMode(bool on) {
    if (!std::exchange(reported, true) || !on || !off) return;
    off = false;
    owner->onWake_();
  }
};

struct Listeners {
  static void wlrMode(void* data, zwlr_output_power_v1* /*power*/, std::uint32_t mode) {
    static_cast<OutputPower::Control*>(data)->reportedMode(mode == ZWLR_OUTPUT_POWER_V1_MODE_ON);
  }
  static void wlrFailed(void* data, zwlr_output_power_v1* power) {
    auto& control = *static_cast<OutputPower::Control*>(data);
    control.usable = control.held = control.off = false;
    zwlr_output_power_v1_destroy(power);
    control.wlr = nullptr;
  }
  static void dpmsSupported(void* data, org_kde_kwin_dpms* /*dpms*/, std::uint32_t supported) {
    static_cast<OutputPower::Control*>(data)->usable = supported != 0;
  }
  static void dpmsMode(void* data, org_kde_kwin_dpms* /*dpms*/, std::uint32_t mode) {
    static_cast<OutputPower::Control*>(data)->reportedMode(mode == ORG_KDE_KWIN_DPMS_MODE_ON);
  }
  static void dpmsDone(void* /*data*/, org_kde_kwin_dpms* /*dpms*/) {}
};

namespace {
constexpr zwlr_output_power_v1_listener kWlrListener = {Listeners::wlrMode, Listeners::wlrFailed};
// Plasma's description may gain events; those named here are all that come.
constexpr org_kde_kwin_dpms_listener kDpmsListener = [] {
  org_kde_kwin_dpms_listener listener{};
  listener.supported = Listeners::dpmsSupported;
  listener.mode = Listeners::dpmsMode;
  listener.done = Listeners::dpmsDone;
  return listener;
}();
}  // namespace

OutputPower::OutputPower(wl_display* display, Globals& globals, std::function<void()> onWake)
    : display_(display), globals_(globals), onWake_(std::move(onWake)) {}

OutputPower::~OutputPower() = default;

void OutputPower::setOff(Control& control, bool off) {
  if (control.wlr != nullptr) {
    zwlr_output_power_v1_set_mode(
        control.wlr, off ? ZWLR_OUTPUT_POWER_V1_MODE_OFF : ZWLR_OUTPUT_POWER_V1_MODE_ON);
  } else if (control.dpms != nullptr) {
    org_kde_kwin_dpms_set(control.dpms,
                          off ? ORG_KDE_KWIN_DPMS_MODE_OFF : ORG_KDE_KWIN_DPMS_MODE_ON);
  }
  control.off = off;
}

OutputPower::Control& OutputPower::add(wl_output* output) {
  auto control = std::make_unique<Control>(Control{this, output});
  if (globals_.wlrPower != nullptr) {
    control->wlr = zwlr_output_power_manager_v1_get_output_power(globals_.wlrPower, output);
    zwlr_output_power_v1_add_listener(control->wlr, &kWlrListener, control.get());
    control->usable = true;
  } else {
    control->dpms = org_kde_kwin_dpms_manager_get(globals_.kdeDpms, output);
    org_kde_kwin_dpms_add_listener(control->dpms, &kDpmsListener, control.get());
  }
  controls_.push_back(std::move(control));
  return *controls_.back();
}

bool OutputPower::switchOff() {
  if (globals_.wlrPower == nullptr && globals_.kdeDpms == nullptr) return false;
  // A control for each output that has none yet, or whose last one failed.
  for (const Globals::Output& output : globals_.outputs) {
    const auto has = std::any_of(controls_.begin(), controls_.end(), [&](const auto& control) {
      return control->output == output.output &&
             (control->wlr != nullptr || control->dpms != nullptr);
    });
    if (has) continue;
    std::erase_if(controls_, [&](const auto& control) { return control->output == output.output; });
    add(output.output);
  }
  // What each control is: supported or not, failed or not, its mode.
  wl_display_roundtrip(display_);
  // KWin's DPMS on some outputs only would leave the others lit: the
  // desktop's own way then switches them all.
  if (globals_.wlrPower == nullptr &&
      !std::all_of(controls_.begin(), controls_.end(),
                   [](const auto& control) { return control->usable; })) {
    controls_.clear();
    return false;
  }
  for (const auto& control : controls_) {
    control->held = control->usable;
    if (control->usable) setOff(*control, true);
  }
  // A failed answer to the request comes before the answer to this.
  wl_display_roundtrip(display_);
  return std::any_of(controls_.begin(), controls_.end(),
                     [](const auto& control) { return control->held; });
}

void OutputPower::switchOffAdded(wl_output* output) {
  // A DPMS control that turns out unsupported ignores the request.
  Control& control = add(output);
  control.held = true;
  setOff(control, true);
}

bool OutputPower::anyOff() const {
  return std::any_of(controls_.begin(), controls_.end(),
                     [](const auto& control) { return control->off; });
}

void OutputPower::switchOffAgain() {
  for (const auto& control : controls_) {
    if (control->held) setOff(*control, true);
  }
}

void OutputPower::switchBackOn() {
  for (const auto& control : controls_) {
    if (control->off) setOff(*control, false);
  }
  // wlroots lets one client at a time control an output's power: once done,
  // it is given up, so that another program (the switch-off command beside
  // the icon) can switch the outputs off. The next click asks again.
  controls_.clear();
}

void OutputPower::outputGone(wl_output* output) {
  std::erase_if(controls_, [output](const auto& control) { return control->output == output; });
}

}  // namespace platform::linux_desktop::wayland
