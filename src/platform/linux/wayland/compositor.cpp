#include "platform/linux/wayland/compositor.h"

#include <cstdlib>
#include <string>

#include "platform/linux/clock.h"
#include "platform/linux/wayland/globals.h"
#include "platform/linux/wayland/idle_watch.h"
#include "platform/linux/wayland/output_power.h"
#include "platform/linux/wayland/overlay.h"

namespace platform::linux_desktop::wayland {

// What a switch-off on one connection has done so far: enough to do it again
// on a fresh connection when the first one breaks.
struct Phase {
  // Every output off through the compositor, by this program.
  bool throughOutputs = false;
  // The guard's power-down when the display went dark another way.
  std::function<void()> powerDown;
  bool holding = false;
  bool blocking = false;
  // After the hold, the outputs wait for the first input to come back on.
  bool waking = false;
};

// Everything on one connection, on its thread.
class CompositorState {
 public:
  CompositorState(Connection& connection, WakeRule& rule)
      : connection_(connection), rule_(rule), globals_(connection.display()) {
    globals_.outputAdded = [this](wl_output* output) { outputAdded(output); };
    globals_.outputGone = [this](wl_output* output) {
      power_.outputGone(output);
      overlay_.outputGone(output);
    };
    globals_.seatsChanged = [this] { overlay_.seatsChanged(); };
  }

  // Nothing, once the display is back.
  Phase phase() const {
    if (!holding_ && !waking_) return {};
    return {throughOutputs_, throughOutputs_ ? nullptr : powerDown_, holding_, blocking_,
            waking_};
  }

  // The same switch-off again, on a fresh connection.
  void resume(const Phase& phase) {
    if (phase.throughOutputs) {
      if (!switchOff()) return;
    } else if (phase.powerDown) {
      switchedOffBy(phase.powerDown);
    } else {
      return;
    }
    if (phase.holding) start();
    if (phase.blocking) blockInput(true);
    if (phase.waking && throughOutputs_) beginWake();
  }

  bool switchOff() {
    endWake(false);
    powerDown_ = nullptr;
    // Outputs switched off through the compositor stay dark until a client
    // switches them on: that way is taken only where the program will hear
    // the input that should bring them back, whatever other clients do.
    throughOutputs_ = (overlay_.possible() || idle_.hearsThroughInhibitors()) &&
                      !globals_.seats.empty() && power_.switchOff();
    if (throughOutputs_) powerDown_ = [this] { power_.switchOffAgain(); };
    return throughOutputs_;
  }

  void switchedOffBy(std::function<void()> powerDown) {
    endWake(false);
    throughOutputs_ = false;
    powerDown_ = std::move(powerDown);
  }

  void start() {
    rule_.begin();
    holding_ = true;
    idle_.start();
  }

  void stop() {
    rule_.end();
    holding_ = false;
    idle_.stop();
    connection_.setTimer(-1, nullptr);
    // Outputs that this program switched off through the compositor stay
    // dark on wlroots until a client switches them on.
    if (throughOutputs_ && power_.anyOff()) beginWake();
  }

  void blockInput(bool block, const std::string& activationToken = {}) {
    blocking_ = block;
    if (block) {
      overlay_.show(activationToken);
    } else if (!waking_) {
      overlay_.hide();
    }
    wl_display_flush(connection_.display());
  }

  bool waking() const { return waking_; }

 private:
  // The first input after the hold is heard through the idle protocol and
  // through the overlay, which stays until then: an idle inhibitor (a video
  // playing) silences the first, never the second. The overlay takes that
  // input.
  void beginWake() {
    waking_ = true;
    idle_.start();
    overlay_.show();
  }

  void endWake(bool switchOn) {
    if (!waking_) return;
    waking_ = false;
    idle_.stop();
    if (switchOn) power_.switchBackOn();
    if (!blocking_) overlay_.hide();
    wl_display_flush(connection_.display());
  }

  // A key, a click, a move from the overlay or the idle protocol.
  void input() {
    if (holding_) {
      wake();
    } else {
      endWake(true);
    }
  }

  // An output this program switched off reported itself on: during the hold
  // the guard answers it; after it, once every output is on again, the wait
  // for input is over.
  void outputOn() {
    if (holding_) {
      wake();
    } else if (!power_.anyOff()) {
      endWake(true);
    }
  }

  // An output that comes while the display is dark is switched off and
  // covered like the others.
  void outputAdded(wl_output* output) {
    if (throughOutputs_ && (holding_ || waking_)) power_.switchOffAdded(output);
    overlay_.outputAdded(output);
  }

  void wake() {
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

  Connection& connection_;
  WakeRule& rule_;
  Globals globals_;
  OutputPower power_{connection_.display(), globals_, [this] { outputOn(); }};
  IdleWatch idle_{globals_, [this] { input(); }};
  Overlay overlay_{globals_, [this] { input(); }};
  std::function<void()> powerDown_;
  bool throughOutputs_ = false;
  bool holding_ = false;
  bool blocking_ = false;
  bool waking_ = false;
};

std::unique_ptr<Compositor> Compositor::connect(WakeRule& rule) {
  std::unique_ptr<Connection> connection = Connection::open();
  if (!connection) return nullptr;
  return std::unique_ptr<Compositor>(new Compositor(std::move(connection), rule));
}

Compositor::Compositor(std::unique_ptr<Connection> connection, WakeRule& rule)
    : connection_(std::move(connection)), rule_(rule) {
  connection_->run([this] {
    state_ = std::make_unique<CompositorState>(*connection_, rule_);
    connection_->setLost([this] { recover(); });
  });
}

Compositor::~Compositor() {
  connection_->run([this] {
    // Nothing is made again on a connection that breaks from here on.
    connection_->setLost(nullptr);
    connection_->setTimer(-1, nullptr);
    state_.reset();
  });
}

bool Compositor::renew() {
  connection_->setTimer(-1, nullptr);
  state_.reset();
  if (!connection_->reopen()) return false;
  state_ = std::make_unique<CompositorState>(*connection_, rule_);
  return true;
}

void Compositor::recover() {
  // A compositor that breaks every fresh connection is not asked forever.
  constexpr int kMostRecoveries = 3;
  const Phase phase = state_ ? state_->phase() : Phase{};
  if (recoveries_ >= kMostRecoveries || !renew()) return;
  ++recoveries_;
  state_->resume(phase);
}

bool Compositor::switchOff() {
  return connection_->run([this] {
    recoveries_ = 0;
    if ((!state_ || connection_->broken()) && !renew()) return false;
    return state_->switchOff();
  });
}

void Compositor::switchedOffBy(std::function<void()> powerDown) {
  connection_->run([this, &powerDown] {
    if (state_) state_->switchedOffBy(std::move(powerDown));
  });
}

void Compositor::start() {
  connection_->run([this] {
    if (state_) state_->start();
  });
}

void Compositor::stop() {
  connection_->run([this] {
    if (state_) state_->stop();
  });
}

bool Compositor::wakeAfterHoldPending() {
  return connection_->run([this] { return state_ && state_->waking(); });
}

void Compositor::blockInput(bool block) {
  // What a launcher, a shortcut or the panel (through Qt) left for the next
  // window to take the keyboard with; used once.
  std::string token;
  if (const char* given = block ? std::getenv("XDG_ACTIVATION_TOKEN") : nullptr) {
    token = given;
    ::unsetenv("XDG_ACTIVATION_TOKEN");
  }
  connection_->run([this, block, &token] {
    if (state_) state_->blockInput(block, token);
  });
}

}  // namespace platform::linux_desktop::wayland
