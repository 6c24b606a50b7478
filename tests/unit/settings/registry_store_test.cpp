#include "settings/registry_store.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"

namespace settings {
namespace {

using fakes::kSettingsKey;
using fakes::utf16;
namespace reg_type = platform::reg_type;
constexpr RegRoot kHkcu = RegRoot::CurrentUser;

TEST(LoadRegText, ReadsEachStoredShapeAsText) {
  const std::tuple<const char*, std::uint32_t, std::vector<std::uint8_t>, std::u16string> cases[] =
      {{"terminated text", reg_type::kSz, utf16(std::u16string(u"2.5\0", 4)), u"2.5"},
       {"no terminator: no character lost", reg_type::kSz, utf16(u"12"), u"12"},
       {"up to the first NUL", reg_type::kSz, {'7', 0, 0, 0, '9', 0}, u"7"},
       {"blanks and non-ASCII", reg_type::kSz, utf16(std::u16string(u" 2,5\u00A0s\0", 7)),
        u" 2,5\u00A0s"},
       {"zero bytes", reg_type::kSz, {}, u""},
       {"odd byte count: the half character goes", reg_type::kSz, {'4', 0, '2'}, u"4"},
       {"REG_DWORD", reg_type::kDword, {3, 0, 0, 0}, u"3"},
       {"REG_DWORD with all bits set", reg_type::kDword, {0xFF, 0xFF, 0xFF, 0xFF}, u"-1"},
       {"REG_DWORD most negative", reg_type::kDword, {0, 0, 0, 0x80}, u"-2147483648"},
       {"REG_DWORD too large for 4 bytes", reg_type::kDword, {1, 0, 0, 0, 0, 0, 0, 0}, u""},
       {"REG_EXPAND_SZ", reg_type::kExpandSz, utf16(std::u16string(u"5\0", 2)), u""},
       {"REG_MULTI_SZ", reg_type::kMultiSz, utf16(std::u16string(u"5\0\0", 3)), u""},
       {"REG_BINARY", reg_type::kBinary, {'5', 0}, u""},
       {"REG_QWORD", reg_type::kQword, {5, 0, 0, 0, 0, 0, 0, 0}, u""}};
  for (const auto& [what, type, bytes, expected] : cases) {
    fakes::Registry registry;
    registry.keys[kSettingsKey][u"Holdit"] = {type, bytes};
    EXPECT_EQ(LoadRegText(registry, kHkcu, kSettingsKey, u"Holdit"), expected) << what;
    EXPECT_EQ(registry.handles.size(), 0u) << what;
  }
}

TEST(LoadRegText, MissingOrChangedBetweenItsTwoQueries) {
  fakes::Registry registry;
  EXPECT_EQ(LoadRegText(registry, kHkcu, kSettingsKey, u"Holdit"), u"") << "missing key";
  EXPECT_TRUE(registry.keys.empty()) << "a read creates nothing";
  registry.keys[kSettingsKey];
  EXPECT_EQ(LoadRegText(registry, kHkcu, kSettingsKey, u"Holdit"), u"") << "missing value";

  // Grown: the second query no longer fits and the read gives "".
  registry.putText(kSettingsKey, u"Holdit", u"3");
  registry.afterSizeQuery = [&] { registry.putText(kSettingsKey, u"Holdit", u"10.25"); };
  EXPECT_EQ(LoadRegText(registry, kHkcu, kSettingsKey, u"Holdit"), u"");
  // Shrunk: the second query gives the new, shorter text.
  registry.afterSizeQuery = [&] { registry.putText(kSettingsKey, u"Holdit", u"2"); };
  EXPECT_EQ(LoadRegText(registry, kHkcu, kSettingsKey, u"Holdit"), u"2");
  EXPECT_EQ(registry.handles.size(), 0u);
}

TEST(SaveRegText, StoresTerminatedUtf16UnlessRefused) {
  // Each text, whether its key exists, and the refusals of open, create, set.
  const std::tuple<std::u16string, bool, RegResult, RegResult, RegResult> cases[] = {
      {u"3", false, 0, 0, 0},         {u"", true, 0, 0, 0},          {u" 0", false, 0, 0, 0},
      {u"&H00C0C0C0", true, 0, 0, 0}, {u"  -2,5e1 ", true, 0, 0, 0}, {u"4", false, 0, 5, 0},
      {u"4", true, 5, 0, 0},          {u"4", true, 0, 0, 5},         {u"4", false, 0, 0, 5}};
  for (const auto& [text, keyExists, open, create, set] : cases) {
    fakes::Registry registry;
    if (keyExists) registry.putText(kSettingsKey, u"Holdit", u"old");
    registry.refuseOpen = open;
    registry.refuseCreate = create;
    registry.refuseSet = set;
    SaveRegText(registry, kHkcu, kSettingsKey, u"Holdit", text);
    if (open == 0 && create == 0 && set == 0) {
      const fakes::Registry::Value& stored = registry.keys[kSettingsKey][u"Holdit"];
      EXPECT_EQ(stored.type, reg_type::kSz);
      EXPECT_EQ(stored.bytes, utf16(text + u'\0')) << fakes::narrow(text);
    } else {
      const std::optional<std::u16string> old = keyExists ? std::optional(u"old") : std::nullopt;
      EXPECT_EQ(registry.text(kSettingsKey, u"Holdit"), old) << open << create << set;
    }
    EXPECT_EQ(registry.handles.size(), 0u);
  }
}

}  // namespace
}  // namespace settings
