#include "platform/linux/settings/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/linux/settings/file.h"
#include "platform/linux/settings/files.h"

namespace platform::linux_desktop {
namespace {

constexpr RegResult kInvalidParameter = 87;

RegResult fromErrno(int error) {
  return error == ENOENT ? reg_result::kFileNotFound : reg_result::kAccessDenied;
}

// Reads the file under the folder's lock, lets change() edit it, and puts the
// result in its place. change() returns 0 to write, or the call's result.
template <typename Change>
RegResult rewrite(const std::string& folder, const std::string& path, Change change) {
  if (!makeFolders(folder)) return fromErrno(errno);
  Descriptor lock(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (lock.get() < 0) return fromErrno(errno);
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return fromErrno(errno);
  }
  const auto content = readAll(path);
  if (!content) return reg_result::kAccessDenied;
  SettingsFile file = SettingsFile::parse(*content);
  if (const RegResult result = change(file); result != reg_result::kSuccess) return result;

  // A value set to what it already is leaves the file as it is: the program
  // sets its start-up values at every start.
  const std::string rendered = file.render();
  if (rendered == *content) return reg_result::kSuccess;
  if (!replaceFile(path, rendered)) return fromErrno(errno);
  ::fsync(lock.get());  // the rename itself
  return reg_result::kSuccess;
}

}  // namespace

std::string configHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

FileRegistry::FileRegistry(std::string filePath) : filePath_(std::move(filePath)) {
  const std::size_t slash = filePath_.find_last_of('/');
  folder_ =
      slash == std::string::npos || slash == 0 ? std::string("/") : filePath_.substr(0, slash);
}

RegKey FileRegistry::remember(const std::u16string& path, std::uint32_t access) {
  const RegKey key = nextKey_++;
  keys_[key] = OpenKey{path, access};
  return key;
}

RegResult FileRegistry::openKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                                RegKey& key) {
  key = 0;
  if (root != RegRoot::CurrentUser) return reg_result::kInvalidHandle;
  const auto content = readAll(filePath_);
  if (!content) return reg_result::kAccessDenied;
  if (!SettingsFile::parse(*content).hasKey(path)) return reg_result::kFileNotFound;
  key = remember(path, access);
  return reg_result::kSuccess;
}

RegResult FileRegistry::createKey(RegRoot root, const std::u16string& path, std::uint32_t access,
                                  RegKey& key) {
  key = 0;
  if (root != RegRoot::CurrentUser) return reg_result::kInvalidHandle;
  const RegResult result = rewrite(folder_, filePath_, [&](SettingsFile& file) {
    if (file.hasKey(path)) return reg_result::kSuccess;
    return file.addKey(path) ? reg_result::kSuccess : kInvalidParameter;
  });
  if (result == reg_result::kSuccess) key = remember(path, access);
  return result;
}

RegResult FileRegistry::setValue(RegKey key, const std::u16string& name, std::uint32_t type,
                                 const std::uint8_t* data, std::uint32_t size) {
  const auto open = keys_.find(key);
  if (open == keys_.end()) return reg_result::kInvalidHandle;
  if ((open->second.access & reg_access::kSetValue) == 0) return reg_result::kAccessDenied;
  SettingsValue value{name, type, std::vector<std::uint8_t>(data, data + (data ? size : 0))};
  const std::u16string& path = open->second.path;
  return rewrite(folder_, filePath_, [&](SettingsFile& file) {
    // The key went away since it was opened (another program rewrote the file).
    if (!file.hasKey(path)) return reg_result::kFileNotFound;
    return file.put(path, std::move(value)) ? reg_result::kSuccess : kInvalidParameter;
  });
}

RegResult FileRegistry::queryValue(RegKey key, const std::u16string& name, std::uint32_t& type,
                                   std::uint8_t* data, std::uint32_t& size) {
  const auto open = keys_.find(key);
  if (open == keys_.end()) return reg_result::kInvalidHandle;
  if ((open->second.access & reg_access::kQueryValue) == 0) return reg_result::kAccessDenied;
  const auto content = readAll(filePath_);
  if (!content) return reg_result::kAccessDenied;
  const SettingsFile file = SettingsFile::parse(*content);
  const SettingsValue* value = file.find(open->second.path, name);
  if (value == nullptr) return reg_result::kFileNotFound;
  type = value->type;
  const auto needed = static_cast<std::uint32_t>(value->bytes.size());
  if (data == nullptr) {
    size = needed;
    return reg_result::kSuccess;
  }
  if (size < needed) {
    size = needed;
    return reg_result::kMoreData;
  }
  if (needed != 0) std::memcpy(data, value->bytes.data(), needed);
  size = needed;
  return reg_result::kSuccess;
}

RegResult FileRegistry::closeKey(RegKey key) {
  return keys_.erase(key) == 1 ? reg_result::kSuccess : reg_result::kInvalidHandle;
}

}  // namespace platform::linux_desktop
