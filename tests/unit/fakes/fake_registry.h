#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace fakes {

// An in-memory registry that answers like the real one for everything the
// settings store touches: case-insensitive key and value names, types, byte
// sizes, missing keys and values, creation of missing parents, access rights
// checked per handle. It can be told to refuse operations.
class FakeRegistry final : public platform::Registry {
 public:
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
  };

  platform::RegResult openKey(platform::RegRoot root, const std::u16string& path,
                              std::uint32_t access, platform::RegKey& key) override;
  platform::RegResult createKey(platform::RegRoot root, const std::u16string& path,
                                std::uint32_t access, platform::RegKey& key) override;
  platform::RegResult setValue(platform::RegKey key, const std::u16string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) override;
  platform::RegResult queryValue(platform::RegKey key, const std::u16string& name,
                                 std::uint32_t& type, std::uint8_t* data,
                                 std::uint32_t& size) override;
  platform::RegResult closeKey(platform::RegKey key) override;

  // Direct access for arranging and checking, bypassing handles.
  bool keyExists(const std::u16string& path) const;
  void putKey(const std::u16string& path);
  void putValue(const std::u16string& path, const std::u16string& name, std::uint32_t type,
                std::vector<std::uint8_t> bytes);
  void putText(const std::u16string& path, const std::u16string& name, const std::u16string& text);
  std::optional<Value> value(const std::u16string& path, const std::u16string& name) const;
  // The REG_SZ data up to its first NUL; nullopt when absent or of another type.
  std::optional<std::u16string> text(const std::u16string& path, const std::u16string& name) const;
  std::size_t openHandleCount() const { return handles_.size(); }
  std::size_t keyCount() const { return keys_.size(); }

  // Refusals: a nonzero code makes every such call fail with it.
  platform::RegResult refuseOpen = 0;
  platform::RegResult refuseCreate = 0;
  platform::RegResult refuseSet = 0;
  // Runs after each query that asked only for type and size, before the next
  // call: lets a test change a value between the two queries of a read.
  std::function<void()> afterSizeQuery;

  // Every call, in order: "open:<access>", "create", "set", "query", "close".
  std::vector<std::string> calls;

 private:
  struct Key {
    std::map<std::u16string, Value> values;  // by lower-cased name
  };
  struct Handle {
    std::u16string path;  // lower-cased
    std::uint32_t access;
  };

  static std::u16string fold(const std::u16string& text);
  Key* findKey(const std::u16string& path);
  const Key* findKey(const std::u16string& path) const;

  std::map<std::u16string, Key> keys_;  // by lower-cased full path
  std::map<platform::RegKey, Handle> handles_;
  platform::RegKey nextHandle_ = 0x1000;
};

}  // namespace fakes
