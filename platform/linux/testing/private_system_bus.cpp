#include "platform/linux/testing/private_system_bus.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

extern char** environ;

namespace morv::testing {
namespace {

/// Debian's interpreter, which has python3-dbusmock (another one first on PATH may not).
constexpr const char* kPython = "/usr/bin/python3";
constexpr auto kStartLimit = std::chrono::seconds(20);
constexpr auto kPollStep = std::chrono::milliseconds(50);

constexpr const char* kUPowerName = "org.freedesktop.UPower";
constexpr const char* kMockInterface = "org.freedesktop.DBus.Mock";

}  // namespace

PrivateSystemBus::PrivateSystemBus() {
  char folder[] = "/tmp/morvantide-bus-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return;
  m_folder = folder;
  const std::string address = "unix:path=" + m_folder + "/system_bus_socket";
  if (const char* saved = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
    m_hadAddress = true;
    m_savedAddress = saved;
  }
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
  // The session configuration: no policy to write, every name may be owned.
  if (Spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address}) < 0) return;
  const auto until = std::chrono::steady_clock::now() + kStartLimit;
  while (std::chrono::steady_clock::now() < until) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) >= 0 && sd_bus_is_bus_client(bus) > 0) {
      // A call proves the daemon answers, not only that its socket exists.
      if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                             "GetId", nullptr, nullptr, "") >= 0) {
        m_bus = bus;
        return;
      }
    }
    sd_bus_flush_close_unref(bus);
    std::this_thread::sleep_for(kPollStep);
  }
}

PrivateSystemBus::~PrivateSystemBus() {
  sd_bus_flush_close_unref(m_bus);
  for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
    ::kill(*it, SIGTERM);
    ::waitpid(*it, nullptr, 0);
  }
  if (m_hadAddress)
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", m_savedAddress.c_str(), 1);
  else
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  std::error_code ignored;
  if (!m_folder.empty()) std::filesystem::remove_all(m_folder, ignored);
}

pid_t PrivateSystemBus::Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  // What the daemon and the mocks log goes beside the socket, not into the test's output.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string log = m_folder + "/bus.log";
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  const int failed = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -1;
  m_processes.push_back(pid);
  return pid;
}

bool PrivateSystemBus::NameOwned(const std::string& busName) {
  sd_bus_message* reply = nullptr;
  int owned = 0;
  if (sd_bus_call_method(m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                         "NameHasOwner", nullptr, &reply, "s", busName.c_str()) >= 0)
    sd_bus_message_read(reply, "b", &owned);
  sd_bus_message_unref(reply);
  return owned != 0;
}

bool PrivateSystemBus::StartTemplate(const std::string& templateName, const std::string& busName,
                                     const std::string& parameters) {
  if (!Started() ||
      Spawn({kPython, "-m", "dbusmock", "--system", "--template", templateName, "--parameters", parameters}) < 0)
    return false;
  const auto until = std::chrono::steady_clock::now() + kStartLimit;
  while (std::chrono::steady_clock::now() < until) {
    if (NameOwned(busName)) return true;
    std::this_thread::sleep_for(kPollStep);
  }
  return false;
}

std::vector<std::string> PrivateSystemBus::Inhibitors() {
  std::vector<std::string> inhibitors;
  sd_bus_message* reply = nullptr;
  int result = sd_bus_call_method(m_bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                                  "org.freedesktop.login1.Manager", "ListInhibitors", nullptr, &reply, "");
  if (result >= 0) result = sd_bus_message_enter_container(reply, 'a', "(ssssuu)");
  const char *what, *who, *why, *mode;
  uint32_t uid, pid;
  while (result > 0 && sd_bus_message_read(reply, "(ssssuu)", &what, &who, &why, &mode, &uid, &pid) > 0)
    inhibitors.push_back(std::string(what) + "|" + who + "|" + why + "|" + mode);
  sd_bus_message_unref(reply);
  return inhibitors;
}

std::vector<std::string> PrivateSystemBus::InhibitorsOnce(size_t count) {
  const auto until = std::chrono::steady_clock::now() + kStartLimit;
  std::vector<std::string> inhibitors = Inhibitors();
  while (inhibitors.size() != count && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(kPollStep);
    inhibitors = Inhibitors();
  }
  return inhibitors;
}

bool PrivateSystemBus::SetDisplayBattery(double percent) {
  // Type battery (2), state discharging (2), present, warning level none (1).
  return sd_bus_call_method(m_bus, kUPowerName, "/org/freedesktop/UPower", kMockInterface, "SetupDisplayDevice",
                            nullptr, nullptr, "uuddddxxbsu", 2u, 2u, percent, percent, 100.0, 10.0, int64_t{3600},
                            int64_t{0}, 1, "battery", 1u) >= 0;
}

bool PrivateSystemBus::AddDischargingBattery(const std::string& name, double percent) {
  return sd_bus_call_method(m_bus, kUPowerName, "/org/freedesktop/UPower", kMockInterface, "AddDischargingBattery",
                            nullptr, nullptr, "ssdx", name.c_str(), "battery", percent, int64_t{3600}) >= 0;
}

}  // namespace morv::testing
