#include "settings/registry_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_registry.h"

namespace settings {
namespace {

using fakes::FakeRegistry;
using platform::RegRoot;
namespace reg_type = platform::reg_type;

const std::u16string kKey = u"Software\\Velmarind\\Tenebrolite";
const RegRoot kHkcu = RegRoot::CurrentUser;

std::vector<std::uint8_t> utf16(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

struct ReadCase {
  const char* what;
  std::uint32_t type;
  std::vector<std::uint8_t> bytes;
  std::u16string expected;
};

TEST(LoadRegText, ReadsEachStoredShapeAsText) {
  const std::vector<ReadCase> cases = {
      {"terminated text", reg_type::kSz, utf16(std::u16string(u"2.5\0", 4)), u"2.5"},
      {"text without terminator keeps its last character", reg_type::kSz, utf16(u"12"), u"12"},
      {"text stops at its first NUL", reg_type::kSz,
       utf16(std::u16string(u"7\0"
                            u"9\0",
                            4)),
       u"7"},
      {"blanks kept", reg_type::kSz, utf16(std::u16string(u" 3 \0", 4)), u" 3 "},
      {"non-ASCII text", reg_type::kSz, utf16(std::u16string(u"2,5\u00A0s\0", 6)), u"2,5\u00A0s"},
      {"zero bytes", reg_type::kSz, {}, u""},
      {"odd byte count drops the half character", reg_type::kSz, {'4', 0, '2'}, u"4"},
      {"REG_DWORD 3", reg_type::kDword, {3, 0, 0, 0}, u"3"},
      {"REG_DWORD with all bits set", reg_type::kDword, {0xFF, 0xFF, 0xFF, 0xFF}, u"-1"},
      {"REG_DWORD most negative", reg_type::kDword, {0, 0, 0, 0x80}, u"-2147483648"},
      {"REG_DWORD too large for 4 bytes", reg_type::kDword, {1, 0, 0, 0, 0, 0, 0, 0}, u""},
      {"REG_EXPAND_SZ", reg_type::kExpandSz, utf16(std::u16string(u"5\0", 2)), u""},
      {"REG_MULTI_SZ", reg_type::kMultiSz, utf16(std::u16string(u"5\0\0", 3)), u""},
      {"REG_BINARY", reg_type::kBinary, {'5', 0}, u""},
      {"REG_QWORD", reg_type::kQword, {5, 0, 0, 0, 0, 0, 0, 0}, u""},
  };
  for (const ReadCase& c : cases) {
    FakeRegistry registry;
    registry.putValue(kKey, u"Holdit", c.type, c.bytes);
    EXPECT_EQ(LoadRegText(registry, kHkcu, kKey, u"Holdit"), c.expected) << c.what;
    EXPECT_EQ(registry.openHandleCount(), 0u) << c.what;
  }
}

TEST(LoadRegText, MissingKeyOrValueReadsEmptyAndCreatesNothing) {
  FakeRegistry registry;
  EXPECT_EQ(LoadRegText(registry, kHkcu, kKey, u"Holdit"), u"");
  EXPECT_EQ(registry.keyCount(), 0u);

  registry.putKey(kKey);
  EXPECT_EQ(LoadRegText(registry, kHkcu, kKey, u"Holdit"), u"");
  EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST(LoadRegText, ValueChangedBetweenTheTwoQueries) {
  FakeRegistry registry;
  registry.putText(kKey, u"Holdit", u"3");

  // Grown: the second query no longer fits and the read gives "".
  registry.afterSizeQuery = [&] { registry.putText(kKey, u"Holdit", u"10.25"); };
  EXPECT_EQ(LoadRegText(registry, kHkcu, kKey, u"Holdit"), u"");

  // Shrunk: the second query returns the new, shorter data.
  registry.afterSizeQuery = [&] { registry.putText(kKey, u"Holdit", u"2"); };
  registry.putText(kKey, u"Holdit", u"10.25");
  EXPECT_EQ(LoadRegText(registry, kHkcu, kKey, u"Holdit"), u"2");
  EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST(SaveRegText, StoresTerminatedUtf16AndReadsBack) {
  struct WriteCase {
    std::u16string text;
    std::size_t bytes;
  };
  const std::vector<WriteCase> cases = {
      {u"3", 4}, {u"", 2}, {u" 0", 6}, {u"&H00C0C0C0", 22}, {u"  -2,5e1 ", 20}};
  for (const WriteCase& c : cases) {
    FakeRegistry registry;
    SaveRegText(registry, kHkcu, kKey, u"Holdit", c.text);
    const auto stored = registry.value(kKey, u"Holdit");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, reg_type::kSz);
    EXPECT_EQ(stored->bytes.size(), c.bytes);
    EXPECT_EQ(stored->bytes.back(), 0);
    EXPECT_EQ(LoadRegText(registry, kHkcu, kKey, u"Holdit"), c.text);
    EXPECT_EQ(registry.openHandleCount(), 0u);
  }
}

TEST(SaveRegText, CreatesMissingKeyAndParentsThenWrites) {
  FakeRegistry registry;
  SaveRegText(registry, kHkcu, kKey, u"SitL", u" 0");
  EXPECT_TRUE(registry.keyExists(u"Software\\Velmarind"));
  EXPECT_EQ(registry.text(kKey, u"SitL"), u" 0");
  // Probe with the six key rights, create with the same, then open to set.
  const std::vector<std::string> expected = {"open:63", "create:63", "close",
                                             "open:2",  "set",       "close"};
  EXPECT_EQ(registry.calls, expected);
}

TEST(SaveRegText, ExistingKeyIsNotCreatedAgainAndValueIsReplaced) {
  FakeRegistry registry;
  registry.putText(kKey, u"Btn", u"7");
  SaveRegText(registry, kHkcu, kKey, u"Btn", u"1");
  EXPECT_EQ(registry.text(kKey, u"Btn"), u"1");
  const std::vector<std::string> expected = {"open:63", "close", "open:2", "set", "close"};
  EXPECT_EQ(registry.calls, expected);
}

TEST(SaveRegText, RefusalsStoreNothingAndLeaveNoKeyOpen) {
  enum class Refusal { Open, Create, Set };
  struct Case {
    const char* what;
    Refusal refusal;
    bool keyExists;
  };
  const std::vector<Case> cases = {
      {"key cannot be created", Refusal::Create, false},
      {"key cannot be opened for setting", Refusal::Open, true},
      {"value refused", Refusal::Set, true},
      {"value refused on a new key", Refusal::Set, false},
  };
  for (const Case& c : cases) {
    FakeRegistry registry;
    if (c.keyExists) registry.putKey(kKey);
    (c.refusal == Refusal::Open     ? registry.refuseOpen
     : c.refusal == Refusal::Create ? registry.refuseCreate
                                    : registry.refuseSet) = platform::reg_result::kAccessDenied;
    SaveRegText(registry, kHkcu, kKey, u"Holdit", u"4");
    EXPECT_FALSE(registry.value(kKey, u"Holdit").has_value()) << c.what;
    EXPECT_EQ(registry.openHandleCount(), 0u) << c.what;
  }
}

}  // namespace
}  // namespace settings
