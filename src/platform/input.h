#pragma once

namespace platform {

// Keyboard and mouse input for the whole desktop.
class Input {
 public:
  virtual ~Input() = default;
  // true stops keyboard and mouse input from reaching applications; false lets
  // it flow again.
  virtual void blockInput(bool block) = 0;
};

}  // namespace platform
