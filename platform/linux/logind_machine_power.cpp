#include "platform/linux/logind_machine_power.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/linux/upower_charge.h"

namespace morv {
namespace {

constexpr const char* kLogindName = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";
constexpr const char* kInhibitWhat = "sleep:shutdown:idle:handle-lid-switch:handle-power-key:handle-suspend-key";
/// logind shows this to whoever tries to suspend or power off meanwhile.
constexpr const char* kInhibitWhy = "A drive's firmware is being written. Ending now would leave the drive unusable.";

constexpr const char* kUPowerName = "org.freedesktop.UPower";
constexpr const char* kUPowerPath = "/org/freedesktop/UPower";
constexpr const char* kUPowerInterface = "org.freedesktop.UPower";
constexpr const char* kUPowerDevice = "org.freedesktop.UPower.Device";
constexpr const char* kDisplayDevicePath = "/org/freedesktop/UPower/devices/DisplayDevice";

/// A service that has not answered by then is taken as absent; the dialog waits meanwhile.
constexpr uint64_t kCallTimeoutMicroseconds = 10'000'000;

struct BusClose {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;

/// The reason of a failed call: the bus's error message where it gave one.
std::string Failure(int result, const sd_bus_error& error) {
  if (sd_bus_error_is_set(&error) && error.message != nullptr) return error.message;
  return std::strerror(-result);
}

/// A connection to the system bus, or none with `why` set.
Bus OpenSystemBus(std::string& why) {
  sd_bus* bus = nullptr;
  const int result = sd_bus_open_system(&bus);
  if (result < 0) {
    why = std::string("no system bus (") + std::strerror(-result) + ")";
    return nullptr;
  }
  sd_bus_set_method_call_timeout(bus, kCallTimeoutMicroseconds);
  return Bus(bus);
}

/// Reads one UPower property of a basic type into `value`; false with `why` set.
bool ReadProperty(sd_bus* bus, const char* path, const char* interface, const char* name, char type, void* value,
                  std::string& why) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  const int result = sd_bus_get_property_trivial(bus, kUPowerName, path, interface, name, &error, type, value);
  if (result < 0) why = Failure(result, error);
  sd_bus_error_free(&error);
  return result >= 0;
}

/// The paths of UPower's devices; none with `why` set when they cannot be listed.
std::optional<std::vector<std::string>> DevicePaths(sd_bus* bus, std::string& why) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  int result = sd_bus_call_method(bus, kUPowerName, kUPowerPath, kUPowerInterface, "EnumerateDevices", &error,
                                  &reply, "");
  std::vector<std::string> paths;
  if (result >= 0) result = sd_bus_message_enter_container(reply, 'a', "o");
  const char* path = nullptr;
  while (result > 0 && (result = sd_bus_message_read(reply, "o", &path)) > 0) paths.emplace_back(path);
  if (result < 0) why = Failure(result, error);
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  if (result < 0) return std::nullopt;
  return paths;
}

upower::DeviceReading ReadDevice(sd_bus* bus, const std::string& path, std::string& why) {
  upower::DeviceReading device;
  int powerSupply = 0, present = 0;
  const char* at = path.c_str();
  // A device that does not answer counts as absent.
  if (ReadProperty(bus, at, kUPowerDevice, "Type", 'u', &device.type, why) &&
      ReadProperty(bus, at, kUPowerDevice, "PowerSupply", 'b', &powerSupply, why) &&
      ReadProperty(bus, at, kUPowerDevice, "IsPresent", 'b', &present, why) &&
      ReadProperty(bus, at, kUPowerDevice, "Percentage", 'd', &device.percentage, why) &&
      ReadProperty(bus, at, kUPowerDevice, "Energy", 'd', &device.energy, why) &&
      ReadProperty(bus, at, kUPowerDevice, "EnergyFull", 'd', &device.energyFull, why)) {
    device.powerSupply = powerSupply != 0;
    device.present = present != 0;
  }
  return device;
}

/// The charge left: UPower's composite display device where it has one, else the
/// batteries and UPSes themselves; none with `why` set when neither tells.
std::optional<double> ReadCharge(sd_bus* bus, std::string& why) {
  int present = 0;
  double percentage = 0;
  if (ReadProperty(bus, kDisplayDevicePath, kUPowerDevice, "IsPresent", 'b', &present, why) && present != 0 &&
      ReadProperty(bus, kDisplayDevicePath, kUPowerDevice, "Percentage", 'd', &percentage, why))
    return percentage;
  const std::optional<std::vector<std::string>> paths = DevicePaths(bus, why);
  if (!paths) return std::nullopt;
  std::vector<upower::DeviceReading> devices;
  for (const std::string& path : *paths) devices.push_back(ReadDevice(bus, path, why));
  const std::optional<double> charge = upower::CombinedCharge(devices);
  if (!charge) why = "UPower knows no battery";
  return charge;
}

}  // namespace

LogindMachinePower::LogindMachinePower(std::string who, PowerNote note)
    : m_who(std::move(who)), m_note(std::move(note)) {}

LogindMachinePower::~LogindMachinePower() { EndKeepAwake(); }

PowerSupply LogindMachinePower::Supply() {
  std::string why;
  const Bus bus = OpenSystemBus(why);
  int onBattery = 0;
  if (!bus || !ReadProperty(bus.get(), kUPowerPath, kUPowerInterface, "OnBattery", 'b', &onBattery, why)) {
    m_note("power: battery not checked: " + why);
    return {};
  }
  PowerSupply supply{onBattery != 0, std::nullopt};
  if (!supply.onBattery) return supply;
  supply.batteryPercent = ReadCharge(bus.get(), why);
  if (!supply.batteryPercent) m_note("power: on battery, charge not known: " + why);
  return supply;
}

void LogindMachinePower::BeginKeepAwake() {
  if (m_inhibitor >= 0) return;
  std::string why;
  const Bus bus = OpenSystemBus(why);
  if (bus) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(bus.get(), kLogindName, kLogindPath, kLogindManager, "Inhibit", &error, &reply,
                                    "ssss", kInhibitWhat, m_who.c_str(), kInhibitWhy, "block");
    int descriptor = -1;
    if (result >= 0) result = sd_bus_message_read(reply, "h", &descriptor);
    // The reply owns its descriptor: keep a copy of our own, closed on exec.
    if (result >= 0 && (m_inhibitor = fcntl(descriptor, F_DUPFD_CLOEXEC, 3)) < 0) result = -errno;
    if (result < 0) why = Failure(result, error);
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
  }
  if (m_inhibitor < 0) m_note("power: sleep and power-off not held off: " + why);
}

void LogindMachinePower::EndKeepAwake() {
  if (m_inhibitor < 0) return;
  ::close(m_inhibitor);
  m_inhibitor = -1;
}

}  // namespace morv
