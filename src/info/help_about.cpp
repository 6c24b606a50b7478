#include "info/help_about.h"

#include "identity.h"

namespace info {

using namespace platform;

namespace {
constexpr std::u16string_view kIndent = u"          ";  // ten blanks
constexpr std::u16string_view kNewLine = u"\r\n";
constexpr std::u16string_view kOpen = u"open";
}  // namespace

std::u16string aboutText() {
  std::u16string text;
  for (std::u16string_view piece :
       {kIndent, std::u16string_view(u"Tenebrolite  v1.0"), kNewLine, kIndent,
        std::u16string_view(u"by  Velmarind Media"), kNewLine, kNewLine, kIndent, kSiteLine,
        kIndent, kNewLine, kNewLine, kIndent, std::u16string_view(u"Go to web?")}) {
    text += piece;
  }
  return text;
}

std::u16string helpPagePath(const std::u16string& programFolder, const std::u16string& separator) {
  return programFolder + separator + u"help.html";
}

std::u16string productsAddress(const std::u16string& siteUrl) {
  return siteUrl + u"products.html";
}

void mnuHelp_Click(Shell& shell, AppInfo& appInfo, WindowHandle form1) {
  // The folder is read afresh: nothing is kept between two choices of Help.
  shell.execute(form1, std::u16string(kOpen),
                helpPagePath(appInfo.executableFolder(), appInfo.pathSeparator()), kSwShow);
}

void mnuAbout_Click(WindowSystem& windows, Shell& shell, WindowHandle form1,
                    const std::u16string& siteUrl) {
  const int answer =
      windows.messageBox(0, aboutText(), std::u16string(identity::kApplicationTitle), mb::kYesNo);
  if (answer == mb::kIdYes) {
    shell.execute(form1, std::u16string(kOpen), productsAddress(siteUrl), kSwShow);
  }
}

}  // namespace info
