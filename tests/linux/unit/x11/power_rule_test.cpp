#include "platform/linux/x11/power_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::linux_desktop {
namespace {

struct FakeServer final : PowerRequests {
  bool present = false, capable = false, enabled = false;
  std::vector<std::string> requests;
  bool dpmsPresent() override { return present; }
  bool dpmsCapable() override { return capable; }
  bool dpmsEnabled() override { return enabled; }
  void dpmsEnable() override { requests.push_back("enable"); }
  void dpmsForceOff() override { requests.push_back("force off"); }
  void activateScreenSaver() override { requests.push_back("saver"); }
};

TEST(PowerDown, ForcesDpmsOffOrBlanksWithTheSaver) {
  const struct {
    bool present, capable, enabled;
    std::vector<std::string> requests;
  } cases[] = {
      {true, true, true, {"force off"}},
      {true, true, false, {"enable", "force off"}},  // refused while disabled
      {true, false, false, {"saver"}},
      {false, false, false, {"saver"}},
  };
  for (const auto& c : cases) {
    FakeServer server;
    server.present = c.present, server.capable = c.capable, server.enabled = c.enabled;
    powerDown(server);
    EXPECT_EQ(server.requests, c.requests) << c.present << c.capable << c.enabled;
  }
}

}  // namespace
}  // namespace platform::linux_desktop
