#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform::linux_desktop {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor();
  int get() const { return fd_; }

 private:
  int fd_;
};

// A settings or autostart file is a few hundred bytes: one far larger is not
// one the program wrote, and its cost must not grow with what fills it.
inline constexpr std::size_t kLargestFile = 1 << 20;

// The whole file; "" when it does not exist; nullopt when it exists but
// cannot be read, or is larger than kLargestFile.
std::optional<std::string> readAll(const std::string& path);
// Creates the folder and its missing parents (mode 0700, as XDG asks).
bool makeFolders(const std::string& folder);
// Writes the content beside the file and renames it over the file, so that
// whoever reads it sees the old content or the new, never a part. The file
// keeps its permissions, and a symbolic link keeps pointing at it; errno
// tells why it failed.
bool replaceFile(const std::string& path, const std::string& content);

}  // namespace platform::linux_desktop
