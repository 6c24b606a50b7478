#include "platform/linux/settings/autostart.h"

#include <cstdio>

#include "platform/linux/settings/files.h"
#include "platform/linux/utf8.h"

namespace platform::linux_desktop {
namespace {

constexpr std::string_view kKeptKeys[] = {"Hidden", "X-GNOME-Autostart-enabled"};

// A string value of a desktop entry: backslash, line breaks and tabs escaped.
std::string escapeString(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

// Exec's one argument, in double quotes so that a blank cannot split it: ",
// `, $ and \ take a backslash inside them and % is doubled; the string
// escapes come on top (a backslash in the path is written as four).
std::string execArgument(std::string_view path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted.push_back('\\');
    if (c == '%') quoted.push_back('%');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return escapeString(quoted);
}

bool isKeptLine(std::string_view line) {
  for (std::string_view key : kKeptKeys) {
    if (!line.starts_with(key)) continue;
    std::string_view rest = line.substr(key.size());
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '=') return true;
  }
  return false;
}

}  // namespace

std::string autostartEntry(std::string_view oldEntry, std::string_view productName,
                           std::string_view programPath) {
  std::string entry = "[Desktop Entry]\nType=Application\nName=" + escapeString(productName) +
                      "\nComment=Switches the display off from the notification area\nExec=" +
                      execArgument(programPath) + "\nTryExec=" + escapeString(programPath) +
                      "\nTerminal=false\n";
  // Only the main group's keys count; a group after it has keys of its own.
  bool mainGroup = false;
  while (!oldEntry.empty()) {
    const std::size_t end = oldEntry.find('\n');
    std::string_view line = oldEntry.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with("[")) mainGroup = line == "[Desktop Entry]";
    if (mainGroup && isKeptLine(line)) entry += std::string(line) + "\n";
    if (end == std::string_view::npos) break;
    oldEntry.remove_prefix(end + 1);
  }
  return entry;
}

void DesktopAutostart::registerAtLogon(const std::u16string& productName,
                                       const std::u16string& appFolder,
                                       const std::u16string& baseName) {
  const auto name = toUtf8(productName);
  // A desktop entry is UTF-8 text: a path that is not cannot be named in it,
  // and the entry an earlier start wrote stays as it is.
  const auto path = toUtf8(appFolder + baseName);
  if (!path) {
    std::fputs(
        "tenebrolite: the program's path is not UTF-8; the autostart entry is left as it is\n",
        stderr);
  }
  if (!name || !path || !makeFolders(folder_)) return;
  const std::string file = folder_ + "/tenebrolite.desktop";
  // An entry that cannot be read is left alone: rewriting it would lose the
  // user's choice.
  const auto old = readAll(file);
  if (!old) return;
  const std::string entry = autostartEntry(*old, *name, *path);
  if (entry != *old) replaceFile(file, entry);
}

}  // namespace platform::linux_desktop
