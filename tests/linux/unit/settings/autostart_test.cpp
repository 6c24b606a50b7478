#include "platform/linux/settings/autostart.h"
#include "platform/linux/utf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace platform::linux_desktop {
namespace {

TEST(AutostartEntry, QuotesThePathAndKeepsTheUsersSwitch) {
  const struct {
    std::string old, path, exec, tryExec, kept;
  } cases[] = {
      {"", "/usr/bin/tenebrolite", R"(Exec="/usr/bin/tenebrolite")", "TryExec=/usr/bin/tenebrolite",
       ""},
      {"", "/opt/my apps/tenebrolite", R"(Exec="/opt/my apps/tenebrolite")",
       "TryExec=/opt/my apps/tenebrolite", ""},
      // Inside the quotes " ` $ \ take a backslash and % doubles; then the
      // string escapes double every backslash once more.
      {"", R"(/o"d`d$d\d%d/t)", R"(Exec="/o\\"d\\`d\\$d\\\\d%%d/t")", R"(TryExec=/o"d`d$d\\d%d/t)",
       ""},
      {"[Desktop Entry]\nExec=/old\nHidden=true\nX-GNOME-Autostart-enabled=false\n", "/new/t",
       R"(Exec="/new/t")", "TryExec=/new/t", "Hidden=true\nX-GNOME-Autostart-enabled=false\n"},
      // Only the main group's keys switch the entry off.
      {"[Desktop Entry]\nName=x\n[Desktop Action a]\nHidden=true\n", "/t", R"(Exec="/t")",
       "TryExec=/t", ""},
  };
  for (const auto& c : cases) {
    const std::string entry = autostartEntry(c.old, "Tenebrolite", c.path);
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\nType=Application\nName=Tenebrolite\n"))
        << entry;
    EXPECT_NE(entry.find("\n" + c.exec + "\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\n" + c.tryExec + "\n"), std::string::npos) << entry;
    EXPECT_EQ(entry.find("Exec=/old"), std::string::npos) << entry;
    EXPECT_EQ(entry.ends_with(c.kept), true) << entry;
    EXPECT_EQ(entry.find("Hidden") != std::string::npos, !c.kept.empty()) << entry;
  }
}

TEST(AutostartEntry, IsWrittenIntoTheAutostartFolder) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("tenebrolite-autostart-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  DesktopAutostart autostart((folder / "autostart").string());
  autostart.registerAtLogon(u"Tenebrolite", u"/opt/t/", u"tenebrolite");
  std::ifstream in(folder / "autostart" / "tenebrolite.desktop");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), autostartEntry("", "Tenebrolite", "/opt/t/tenebrolite"));
  std::filesystem::remove_all(folder);
}

// The program's path reaches Help and the autostart entry as UTF-16: a name
// that is not UTF-8 must come back byte for byte, and never pass for text.
TEST(FileName, TravelsThroughUtf16UnchangedAndIsNoTextUnlessUtf8) {
  const struct {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"/opt/t\xc3\xa9/tenebrolite", true},
      {"/\xf0\x90\x82\x80/t", true},  // U+10080: its low surrogate is DC80, no escaped byte
      {"/opt/\xff\xfe/t", false},
      {"/a\xc3", false},             // cut short
      {"/\xed\xa0\x80/t", false},  // a surrogate written as UTF-8
      {"/\xc0\xaf", false},         // an overlong "/"
  };
  for (const auto& c : cases) {
    const std::u16string name = fromFileName(c.bytes);
    EXPECT_EQ(toFileName(name), c.bytes) << c.bytes;
    EXPECT_EQ(toUtf8(name).has_value(), c.utf8) << c.bytes;
  }
  EXPECT_FALSE(toFileName(u"/\xD800/t").has_value());
}

}  // namespace
}  // namespace platform::linux_desktop
