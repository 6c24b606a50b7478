#include "settings/run_value.h"

#include "settings/catalogue.h"
#include "settings/registry_store.h"

namespace settings {

void RunValueAutostart::registerAtLogon(const std::u16string& productName,
                                        const std::u16string& appFolder,
                                        const std::u16string& baseName) {
  // Quoted, so that a path with blanks cannot be taken for a shorter program
  // path (C:\Program.exe for C:\Program Files\...).
  const std::u16string command = u"\"" + appFolder + baseName + u".exe\"";
  SaveRegText(registry_, platform::RegRoot::CurrentUser, std::u16string(kRunKeyPath), productName,
              command);
}

}  // namespace settings
