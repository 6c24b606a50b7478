#include "fakes/fake_registry.h"

#include <algorithm>
#include <cstring>

namespace fakes {

using namespace platform;

std::u16string FakeRegistry::fold(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

FakeRegistry::Key* FakeRegistry::findKey(const std::u16string& path) {
  auto it = keys_.find(fold(path));
  return it == keys_.end() ? nullptr : &it->second;
}

const FakeRegistry::Key* FakeRegistry::findKey(const std::u16string& path) const {
  auto it = keys_.find(fold(path));
  return it == keys_.end() ? nullptr : &it->second;
}

RegResult FakeRegistry::openKey(RegRoot, const std::u16string& path, std::uint32_t access,
                                RegKey& key) {
  calls.push_back("open:" + std::to_string(access));
  key = 0;
  if (refuseOpen != 0) return refuseOpen;
  if (findKey(path) == nullptr) return reg_result::kFileNotFound;
  key = nextHandle_++;
  handles_[key] = Handle{fold(path), access};
  return reg_result::kSuccess;
}

RegResult FakeRegistry::createKey(RegRoot, const std::u16string& path, std::uint32_t access,
                                  RegKey& key) {
  calls.push_back("create:" + std::to_string(access));
  key = 0;
  if (refuseCreate != 0) return refuseCreate;
  putKey(path);
  key = nextHandle_++;
  handles_[key] = Handle{fold(path), access};
  return reg_result::kSuccess;
}

RegResult FakeRegistry::setValue(RegKey key, const std::u16string& name, std::uint32_t type,
                                 const std::uint8_t* data, std::uint32_t size) {
  calls.push_back("set");
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return reg_result::kInvalidHandle;
  if ((handle->second.access & reg_access::kSetValue) == 0) return reg_result::kAccessDenied;
  if (refuseSet != 0) return refuseSet;
  keys_[handle->second.path].values[fold(name)] =
      Value{type, std::vector<std::uint8_t>(data, data + size)};
  return reg_result::kSuccess;
}

RegResult FakeRegistry::queryValue(RegKey key, const std::u16string& name, std::uint32_t& type,
                                   std::uint8_t* data, std::uint32_t& size) {
  calls.push_back("query");
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return reg_result::kInvalidHandle;
  if ((handle->second.access & reg_access::kQueryValue) == 0) return reg_result::kAccessDenied;
  const Key& k = keys_[handle->second.path];
  auto found = k.values.find(fold(name));
  if (found == k.values.end()) return reg_result::kFileNotFound;
  const Value& v = found->second;
  type = v.type;
  const auto actual = static_cast<std::uint32_t>(v.bytes.size());
  if (data == nullptr) {
    size = actual;
    if (afterSizeQuery) afterSizeQuery();
    return reg_result::kSuccess;
  }
  if (size < actual) {
    size = actual;
    return reg_result::kMoreData;
  }
  std::copy(v.bytes.begin(), v.bytes.end(), data);
  size = actual;
  return reg_result::kSuccess;
}

RegResult FakeRegistry::closeKey(RegKey key) {
  calls.push_back("close");
  return handles_.erase(key) == 1 ? reg_result::kSuccess : reg_result::kInvalidHandle;
}

bool FakeRegistry::keyExists(const std::u16string& path) const {
  return findKey(path) != nullptr;
}

void FakeRegistry::putKey(const std::u16string& path) {
  // Every parent along the path exists as a key of its own, as in the registry.
  const std::u16string folded = fold(path);
  for (std::size_t pos = folded.find(u'\\'); pos != std::u16string::npos;
       pos = folded.find(u'\\', pos + 1)) {
    keys_[folded.substr(0, pos)];
  }
  keys_[folded];
}

void FakeRegistry::putValue(const std::u16string& path, const std::u16string& name,
                            std::uint32_t type, std::vector<std::uint8_t> bytes) {
  putKey(path);
  keys_[fold(path)].values[fold(name)] = Value{type, std::move(bytes)};
}

void FakeRegistry::putText(const std::u16string& path, const std::u16string& name,
                           const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text + u'\0') {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  putValue(path, name, reg_type::kSz, std::move(bytes));
}

std::optional<FakeRegistry::Value> FakeRegistry::value(const std::u16string& path,
                                                       const std::u16string& name) const {
  const Key* k = findKey(path);
  if (k == nullptr) return std::nullopt;
  auto found = k->values.find(fold(name));
  if (found == k->values.end()) return std::nullopt;
  return found->second;
}

std::optional<std::u16string> FakeRegistry::text(const std::u16string& path,
                                                 const std::u16string& name) const {
  auto v = value(path, name);
  if (!v || v->type != reg_type::kSz) return std::nullopt;
  std::u16string out;
  for (std::size_t i = 0; i + 1 < v->bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(v->bytes[i] | (v->bytes[i + 1] << 8));
    if (c == u'\0') break;
    out.push_back(c);
  }
  return out;
}

}  // namespace fakes
