#include "platform/linux/wayland/compositor.h"

#include "platform/linux/clock.h"
#include "platform/linux/wayland/globals.h"
#include "platform/linux/wayland/idle_watch.h"
#include "platform/linux/wayland/output_power.h"
#include "platform/linux/wayland/overlay.h"

namespace platform::linux_desktop::wayland {

// Everything on the connection's thread.
class CompositorState {
 public:
  CompositorState(Connection& connection, WakeRule& rule)
      : connection_(connection), rule_(rule), globals_(connection.display()) {
    globals_.outputGone = [this](wl_output* output) {
      power_.outputGone(output);
      overlay_.outputGone(output);
    };
    globals_.seatsChanged = [this] { overlay_.seatsChanged(); };
  }

  bool switchOff() {
    afterHold_.stop();
    powerDown_ = nullptr;
    throughOutputs_ = power_.switchOff();
    if (throughOutputs_) powerDown_ = [this] { power_.switchOffAgain(); };
    return throughOutputs_;
  }

  void switchedOffBy(std::function<void()> powerDown) {
    afterHold_.stop();
    throughOutputs_ = false;
    powerDown_ = std::move(powerDown);
  }

  void start() {
    rule_.begin();
    holding_ = true;
    power_.setHolding(true);
    duringHold_.start();
  }

  void stop() {
    rule_.end();
    holding_ = false;
    power_.setHolding(false);
    duringHold_.stop();
    connection_.setTimer(-1, nullptr);
    // Outputs that this program switched off through the compositor stay
    // dark on wlroots until a client switches them on.
    if (throughOutputs_) afterHold_.start();
  }

  bool wakeAfterHoldPending() const { return afterHold_.watching(); }

  void blockInput(bool block) {
    if (block) {
      overlay_.show();
    } else {
      overlay_.hide();
    }
    wl_display_flush(connection_.display());
  }

 private:
  void wake() {
    if (!holding_) return;
    rule_.noteWake();
    answer();
  }

  void answer() {
    Milliseconds next = -1;
    // No client sees a lock screen's input: input that reaches the guard is
    // the program's own desktop's.
    const std::function<bool()> ownDesktop = [] { return true; };
    if (rule_.due(steadyNow(), ownDesktop, next) && powerDown_) powerDown_();
    connection_.setTimer(next, [this] { answer(); });
  }

  void backOn() {
    afterHold_.stop();
    power_.switchBackOn();
  }

  Connection& connection_;
  WakeRule& rule_;
  Globals globals_;
  OutputPower power_{connection_.display(), globals_, [this] { wake(); }};
  IdleWatch duringHold_{globals_, [this] { wake(); }};
  IdleWatch afterHold_{globals_, [this] { backOn(); }};
  Overlay overlay_{globals_, [this] { wake(); }};
  std::function<void()> powerDown_;
  bool throughOutputs_ = false;
  bool holding_ = false;
};

std::unique_ptr<Compositor> Compositor::connect(WakeRule& rule) {
  std::unique_ptr<Connection> connection = Connection::open();
  if (!connection) return nullptr;
  return std::unique_ptr<Compositor>(new Compositor(std::move(connection), rule));
}

Compositor::Compositor(std::unique_ptr<Connection> connection, WakeRule& rule)
    : connection_(std::move(connection)) {
  state_ = connection_->run(
      [this, &rule] { return std::make_unique<CompositorState>(*connection_, rule); });
}

Compositor::~Compositor() {
  connection_->run([this] { state_.reset(); });
}

bool Compositor::switchOff() {
  return connection_->run([this] { return state_->switchOff(); });
}

void Compositor::switchedOffBy(std::function<void()> powerDown) {
  connection_->run([this, &powerDown] { state_->switchedOffBy(std::move(powerDown)); });
}

void Compositor::start() {
  connection_->run([this] { state_->start(); });
}

void Compositor::stop() {
  connection_->run([this] { state_->stop(); });
}

bool Compositor::wakeAfterHoldPending() {
  return connection_->run([this] { return state_->wakeAfterHoldPending(); });
}

void Compositor::blockInput(bool block) {
  connection_->run([this, block] { state_->blockInput(block); });
}

}  // namespace platform::linux_desktop::wayland
