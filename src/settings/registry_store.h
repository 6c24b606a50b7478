#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/registry.h"

// The settings store: the only way into the registry. Each call opens its key,
// does one thing and closes it again; nothing is cached and no failure is ever
// reported: a write that fails stores nothing, a read that fails gives "".
namespace settings {

using platform::Registry;
using platform::RegKey;
using platform::RegResult;
using platform::RegRoot;

// What a value holds while it is being read: nothing, a text or a number.
using ReadResult = std::variant<std::monostate, std::u16string, std::int32_t>;

// Writes text as a REG_SZ value, creating the key and its parents first when
// the key is missing.
void SaveRegText(Registry& registry, RegRoot root, const std::u16string& keyPath,
                 const std::u16string& valueName, const std::u16string& text);

// Reads a REG_SZ or REG_DWORD value as text; anything else, or a failure, is "".
std::u16string LoadRegText(Registry& registry, RegRoot root, const std::u16string& keyPath,
                           const std::u16string& valueName);

// The steps of the two calls above, public so that their order can be seen.
void EnsureRegKey(Registry& registry, const std::u16string& keyPath, RegRoot root);
void WriteRegValue(Registry& registry, RegRoot root, const std::u16string& keyPath,
                   const std::u16string& valueName, const std::u16string& data, std::uint32_t type);
RegResult PutRegData(Registry& registry, RegKey key, const std::u16string& valueName,
                     std::uint32_t type, const std::u16string& data);
// Returns the last platform result, or -1 for a type that is not read.
RegResult GetRegData(Registry& registry, RegKey key, const std::u16string& valueName,
                     ReadResult& result);

std::u16string readResultToText(const ReadResult& result);

}  // namespace settings
