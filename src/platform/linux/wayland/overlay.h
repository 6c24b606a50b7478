#pragma once

#include <wayland-client.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/wayland/globals.h"

struct zwlr_input_inhibitor_v1;

namespace platform::linux_desktop::wayland {

// The input hold where the compositor has wlroots' layer shell: a black
// surface on the overlay layer of every output, anchored to every edge and
// taking the keyboard exclusively, so that keys and clicks reach no other
// program. Where it has none (GNOME), a black full-screen window on every
// output: the pointer is on one of them wherever it is, and the keyboard is
// theirs where an activation token gives it to them; and the input inhibitor too, where offered and no other client
// holds it. The compositor takes all of it away if the program dies. On the
// connection's thread only.
class Overlay {
 public:
  // onInput: a key, a click, a move or a scroll that the overlay received.
  Overlay(Globals& globals, std::function<void()> onInput);
  ~Overlay();
  Overlay(const Overlay&) = delete;
  Overlay& operator=(const Overlay&) = delete;

  // False where the compositor has no layer shell.
  bool possible() const;
  // activationToken: the compositor's token for the user's last action, which
  // gives a window the keyboard where there is no layer shell; may be empty.
  void show(const std::string& activationToken = {});
  void hide();
  // While shown: an output that came covers too.
  void outputAdded(wl_output* output);
  void outputGone(wl_output* output);
  // While shown: listens to the keyboards and pointers the seats have now.
  void seatsChanged();

  struct Surface;
  static void input(void* data);

 private:
  Globals& globals_;
  std::function<void()> onInput_;
  std::vector<std::unique_ptr<Surface>> surfaces_;
  struct SeatInput {
    const Globals::Seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
  };
  void release(SeatInput& input, bool pointer, bool keyboard);
  void cover(wl_output* output);

  bool shown_ = false;
  std::vector<SeatInput> inputs_;
  zwlr_input_inhibitor_v1* inhibitor_ = nullptr;
};

}  // namespace platform::linux_desktop::wayland
