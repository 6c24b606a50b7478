#include "platform/linux/settings/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <utility>

namespace platform::linux_desktop {
namespace {

bool writeAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file a path names, following symbolic links even to a target that does
// not exist yet.
std::optional<std::string> linkTarget(std::string path) {
  // As many links as the kernel follows in one path.
  for (int links = 0; links < 40; ++links) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
      return errno == ENOENT ? std::optional(path) : std::nullopt;
    if (!S_ISLNK(status.st_mode)) return path;
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
    target.resize(static_cast<std::size_t>(length));
    if (target[0] == '/') {
      path = std::move(target);
    } else {
      path.resize(path.find_last_of('/') + 1);  // a relative target is the link's sibling
      path += target;
    }
  }
  errno = ELOOP;
  return std::nullopt;
}

}  // namespace

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> readAll(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  std::string content;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) return content;
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > kLargestFile) {
      errno = EFBIG;
      return std::nullopt;
    }
  }
}

bool makeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

bool replaceFile(const std::string& link, const std::string& content) {
  // A settings file kept elsewhere through a symbolic link (dotfiles under
  // version control) stays there: the link's target is replaced, not the
  // link, and it is made when the link points at nothing yet. Where the
  // target's folder is missing, nothing is written and the link stays.
  const std::optional<std::string> resolved = linkTarget(link);
  if (!resolved) return false;
  const std::string& path = *resolved;
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  Descriptor written(fd);
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  // The data is on the disk before the rename makes it the file.
  if (!writeAll(fd, content) || ::fsync(fd) != 0 ||
      ::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    return false;
  }
  return true;
}

}  // namespace platform::linux_desktop
