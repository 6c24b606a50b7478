#pragma once

#include <cstdint>

namespace platform {

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  // Suspends the calling thread.
  virtual void sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace platform
