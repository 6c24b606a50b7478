#pragma once

#include <functional>
#include <memory>

#include "platform/hold_guard.h"
#include "platform/input.h"
#include "platform/linux/wayland/connection.h"

namespace platform::linux_desktop::wayland {

class CompositorState;

// What the compositor's own protocols give the program, on a connection of
// its own: the power-down of every output, the guard (input from the idle
// protocol and the overlay, outputs reporting themselves on), the input
// hold's overlay, and the outputs back on at the first input after a hold.
// A connection that breaks (a protocol error, the compositor restarting) is
// replaced at once by a fresh one that does again what the broken one was
// doing: outputs switched off come back at the next input.
class Compositor final : public HoldGuard, public Input {
 public:
  // Null when no compositor answers.
  static std::unique_ptr<Compositor> connect(WakeRule& rule);
  ~Compositor() override;
  Compositor(const Compositor&) = delete;
  Compositor& operator=(const Compositor&) = delete;

  // Every output off through the compositor's power protocol; false when it
  // has none, no output took the request, or the program could not hear the
  // input that brings them back. A broken connection is replaced first. The guard then re-asserts
  // through it.
  bool switchOff();
  // The display went dark another way: the guard re-asserts through
  // powerDown, on the connection's thread.
  void switchedOffBy(std::function<void()> powerDown);

  // The guard hears of input and of outputs that wake while it runs.
  void start() override;
  // Once it returns the guard does nothing more until the next start.
  void stop() override;
  void blockInput(bool block) override;
  // Outputs this program switched off wait for the first input after the
  // hold to be switched back on.
  bool wakeAfterHoldPending();

 private:
  Compositor(std::unique_ptr<Connection> connection, WakeRule& rule);
  // On the connection's thread: the state on a fresh connection; false
  // (and no state) when no compositor answers.
  bool renew();
  void recover();

  std::unique_ptr<Connection> connection_;
  WakeRule& rule_;
  // On the connection's thread only; null after a connection broke and no
  // fresh one could be had.
  std::unique_ptr<CompositorState> state_;
  int recoveries_ = 0;
};

}  // namespace platform::linux_desktop::wayland
