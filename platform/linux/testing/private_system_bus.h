#pragma once
// A system bus of a test's own: a dbus-daemon on a socket in a fresh folder, with
// DBUS_SYSTEM_BUS_ADDRESS pointing at it for the life of the object, and
// python3-dbusmock's logind and UPower templates started on it on request. Every
// process it starts is stopped by its id when the object goes; every wait is bounded.

#include <sys/types.h>
#include <systemd/sd-bus.h>

#include <string>
#include <vector>

namespace morv::testing {

class PrivateSystemBus {
 public:
  /// Starts the daemon; Started() tells whether it came up.
  PrivateSystemBus();
  /// Stops the mocks and the daemon and gives DBUS_SYSTEM_BUS_ADDRESS back as it was.
  ~PrivateSystemBus();
  PrivateSystemBus(const PrivateSystemBus&) = delete;
  PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

  bool Started() const { return m_bus != nullptr; }
  /// Starts dbusmock's `templateName` with `parameters` (JSON) and waits until it owns
  /// `busName`; false when it does not come up.
  bool StartTemplate(const std::string& templateName, const std::string& busName,
                     const std::string& parameters = "{}");
  /// logind's inhibitors as "what|who|why|mode", one string each.
  std::vector<std::string> Inhibitors();
  /// Inhibitors() once it holds `count` entries, or as it stands after a few seconds:
  /// logind sees a dropped lock only when its event loop gets to the closed descriptor.
  std::vector<std::string> InhibitorsOnce(size_t count);
  /// Makes UPower's display device a present battery with `percent` left.
  bool SetDisplayBattery(double percent);
  /// Adds a discharging battery with `percent` left as UPower device `name`.
  bool AddDischargingBattery(const std::string& name, double percent);

 private:
  /// Starts `argv` with the bus address in its environment; its id, or -1.
  pid_t Spawn(const std::vector<std::string>& argv);
  bool NameOwned(const std::string& busName);

  std::string m_folder;
  std::string m_savedAddress;
  bool m_hadAddress = false;
  std::vector<pid_t> m_processes;
  sd_bus* m_bus = nullptr;
};

}  // namespace morv::testing
