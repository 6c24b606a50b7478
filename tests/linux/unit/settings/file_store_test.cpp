#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/linux/settings/registry.h"
#include "platform/linux/settings/files.h"
#include "settings/registry_store.h"

namespace platform::linux_desktop {
namespace {

using settings::LoadRegText;
using settings::SaveRegText;

const std::u16string kKey = u"Software\\Velmarind\\Tenebrolite";
constexpr auto kUser = RegRoot::CurrentUser;
constexpr uid_t kNobody = 65534;

class FileStore : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tenebrolite-store-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    path_ = (folder_ / "Velmarind" / "Tenebrolite.conf").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void write(const std::string& content) {
    std::filesystem::create_directories(folder_ / "Velmarind");
    std::ofstream(path_, std::ios::binary) << content;
  }
  std::string read() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path folder_;
  std::string path_;
};

// The registry's read rules, on files as a user might write them.
TEST_F(FileStore, ReadsTextAndNumbersByTheRegistryRules) {
  const struct {
    std::string line;
    std::u16string read;
  } cases[] = {
      {R"("Holdit"="2.5")", u"2.5"},
      {R"("HOLDIT"=" 3 sec")", u" 3 sec"},  // names match without regard to case
      {R"("Holdit"="a\"b\\c\nd")", u"a\"b\\c\nd"},
      {"\"Holdit\"=\"\xC3\xA9\xF0\x9F\x98\x80\"", u"\u00E9\U0001F600"},
      {R"("Holdit"=dword:00000003)", u"3"},
      {R"("Holdit"=dword:ffffffff)", u"-1"},
      {R"("Holdit"=hex(1):31,00,32,00)", u"12"},  // no terminator: no character lost
      {R"("Holdit"=hex(1):)", u""},
      {R"("Holdit"=hex(2):33,00,00,00)", u""},     // another type reads as ""
      {R"("Holdit"=hex(4):03,00,00,00,00)", u""},  // a number that does not fit
      {R"("Holdit"=3)", u""},                      // not understood: no value
      {"\"Holdit\"=\"\xFF\"", u""},                // not UTF-8
      {R"("Holdit"="3)", u""},
  };
  for (const auto& c : cases) {
    write("[software\\velmarind\\TENEBROLITE]\r\n" + c.line + "\r\n");
    FileRegistry registry(path_);
    EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), c.read) << c.line;
  }
}

TEST_F(FileStore, AValueOutsideItsKeyOrAMissingKeyReadsEmptyAndCreatesNothing) {
  FileRegistry registry(path_);
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"");
  EXPECT_FALSE(std::filesystem::exists(folder_));
  write("\"Holdit\"=\"4\"\n[Software\\Velmarind\\Other]\n\"Holdit\"=\"5\"\n");
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"");
}

TEST_F(FileStore, WritesTheDocumentedFormatAndReadsItBack) {
  FileRegistry registry(path_);
  SaveRegText(registry, kUser, kKey, u"SitL", u" 0");
  SaveRegText(registry, kUser, kKey, u"Holdit", u"3");
  SaveRegText(registry, kUser, kKey, u"Odd\"name", u"a\\b\n\U0001F600");
  SaveRegText(registry, kUser, kKey, u"Holdit", u"");
  EXPECT_EQ(read(),
            "[Software\\Velmarind\\Tenebrolite]\n"
            "\"SitL\"=\" 0\"\n"
            "\"Holdit\"=\"\"\n"
            "\"Odd\\\"name\"=\"a\\\\b\\n\xF0\x9F\x98\x80\"\n");
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Odd\"name"), u"a\\b\n\U0001F600");
  RegKey parent = 0;
  EXPECT_EQ(registry.openKey(kUser, u"Software\\Velmarind", reg_access::kQueryValue, parent),
            reg_result::kSuccess);
  registry.closeKey(parent);
}

TEST_F(FileStore, AWriteKeepsEveryLineItDoesNotUnderstand) {
  const std::string before =
      "# my notes\n"
      "junk before any key\n"
      "[Software\\Velmarind\\Tenebrolite]\n"
      "; a comment\n"
      "\"Holdit\"=\"1\"\n"
      "\"Holdit\"=qword:5\n"
      "\n"
      "[Elsewhere]\n"
      "\"Holdit\"=\"9\"";
  write(before);
  FileRegistry registry(path_);
  SaveRegText(registry, kUser, kKey, u"Holdit", u"2");
  SaveRegText(registry, kUser, kKey, u"Btn", u"1");
  EXPECT_EQ(read(),
            "# my notes\n"
            "junk before any key\n"
            "[Software\\Velmarind\\Tenebrolite]\n"
            "; a comment\n"
            "\"Holdit\"=\"2\"\n"
            "\"Btn\"=\"1\"\n"
            "\"Holdit\"=qword:5\n"
            "\n"
            "[Elsewhere]\n"
            "\"Holdit\"=\"9\"");
}

// A line that opens a section ends the key above it, whether or not the store
// takes its name: what stands below belongs to that other section.
TEST_F(FileStore, ASectionNotTakenEndsTheKeyAboveIt) {
  for (const std::string header :
       {"[Software\\Velmarind\\Other] ", "[]", "[\xFF]", "[x", "  [Software\\Velmarind\\Other]",
        "\t[Software\\Velmarind\\Other]"}) {
    write("[Software\\Velmarind\\Tenebrolite]\n\"Btn\"=\"1\"\n" + header + "\n\"Holdit\"=\"9\"\n");
    FileRegistry registry(path_);
    EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"") << header;
    SaveRegText(registry, kUser, kKey, u"Holdit", u"2");
    EXPECT_EQ(read(), "[Software\\Velmarind\\Tenebrolite]\n\"Btn\"=\"1\"\n\"Holdit\"=\"2\"\n" +
                          header + "\n\"Holdit\"=\"9\"\n")
        << header;
  }
}

TEST_F(FileStore, AWriteReplacesTheFileAsAWholeAndNeverOneItCannotRead) {
  write("[Software\\Velmarind\\Tenebrolite]\n\"Holdit\"=\"1\"\n");
  std::ifstream old(path_);  // still the old file after the rename
  FileRegistry registry(path_);
  SaveRegText(registry, kUser, kKey, u"Holdit", u"2");
  std::string line;
  std::getline(old, line);
  std::getline(old, line);
  EXPECT_EQ(line, "\"Holdit\"=\"1\"");
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"2");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "Velmarind"), {}), 1);
  // A value set to what it is already leaves the file itself alone.
  struct stat before {}, after {};
  ::stat(path_.c_str(), &before);
  SaveRegText(registry, kUser, kKey, u"Holdit", u"2");
  ::stat(path_.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);

  // A link stays a link: what it points at is replaced.
  std::filesystem::rename(path_, folder_ / "kept");
  std::filesystem::create_symlink(folder_ / "kept", path_);
  SaveRegText(registry, kUser, kKey, u"Holdit", u"4");
  EXPECT_TRUE(std::filesystem::is_symlink(path_));
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"4");

  // Nor is one far larger than any settings file, read as empty at once.
  std::filesystem::remove(path_);
  const std::string large =
      "[Software\\Velmarind\\Tenebrolite]\n\"Holdit\"=\"1\"\n" + std::string(kLargestFile, '\n');
  write(large);
  SaveRegText(registry, kUser, kKey, u"Holdit", u"3");
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"");
  EXPECT_EQ(read(), large);

  // A settings path that cannot be read (here a folder) is left as it is.
  std::filesystem::remove(path_);
  std::filesystem::create_directories(path_);
  SaveRegText(registry, kUser, kKey, u"Holdit", u"3");
  EXPECT_TRUE(std::filesystem::is_directory(path_));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "Velmarind"), {}), 1);

  // A link to a file not there yet (a fresh dotfiles checkout) makes that
  // file; while even its folder is missing, the link stays and nothing is kept.
  std::filesystem::remove(path_);
  std::filesystem::create_symlink("../dotfiles/tenebrolite.conf", path_);
  SaveRegText(registry, kUser, kKey, u"Holdit", u"5");
  EXPECT_TRUE(std::filesystem::is_symlink(path_));
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"");
  std::filesystem::create_directory(folder_ / "dotfiles");
  SaveRegText(registry, kUser, kKey, u"Holdit", u"5");
  EXPECT_TRUE(std::filesystem::is_symlink(path_));
  EXPECT_EQ(LoadRegText(registry, kUser, kKey, u"Holdit"), u"5");

  // A file its user may not read is not written over. Root reads anything:
  // as root, the case runs as nobody, in a folder that is nobody's.
  std::filesystem::remove(path_);
  write("\"Holdit\"=\"1\"\n");
  ::chmod(path_.c_str(), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown((folder_ / "Velmarind").c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::seteuid(kNobody), 0);
  }
  SaveRegText(registry, kUser, kKey, u"Holdit", u"6");
  if (root) {
    ASSERT_EQ(::seteuid(0), 0);
  }
  ::chmod(path_.c_str(), 0600);
  EXPECT_EQ(read(), "\"Holdit\"=\"1\"\n");
}

TEST_F(FileStore, TwoWritersAtOnceLoseNoValue) {
  constexpr int kEach = 40;
  auto writer = [&](char16_t prefix) {
    FileRegistry registry(path_);
    for (int i = 0; i < kEach; ++i) {
      SaveRegText(registry, kUser, kKey, std::u16string(1, prefix) + char16_t(u'0' + i), u"x");
    }
  };
  std::thread a(writer, u'a');
  std::thread b(writer, u'b');
  a.join();
  b.join();
  FileRegistry registry(path_);
  for (char16_t prefix : {u'a', u'b'}) {
    for (int i = 0; i < kEach; ++i) {
      EXPECT_EQ(LoadRegText(registry, kUser, kKey, std::u16string(1, prefix) + char16_t(u'0' + i)),
                u"x");
    }
  }
}

}  // namespace
}  // namespace platform::linux_desktop
