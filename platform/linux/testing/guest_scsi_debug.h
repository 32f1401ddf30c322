#pragma once
// For tests that run inside the qemu-scsi guest: scsi_debug's run-time knobs, the
// kernel's log of the commands scsi_debug received (opts=1 writes one line per CDB),
// and a helper process that stops, continues and signals the test while a command
// is out. Header-only, so each guest test program stays one self-contained binary.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace morv::guest {

inline constexpr char kScsiDebugKnobs[] = "/sys/bus/pseudo/drivers/scsi_debug/";

/// Writes `value` to the scsi_debug knob `name` (delay, opts, dsense, ...).
inline void SetScsiDebug(const std::string& name, const std::string& value) {
  std::ofstream(kScsiDebugKnobs + name) << value << '\n';
}

/// Sets a scsi_debug knob for as long as it lives, then puts the given value back.
class ScsiDebugSetting {
 public:
  ScsiDebugSetting(std::string name, const std::string& value, std::string restore)
      : m_name(std::move(name)), m_restore(std::move(restore)) {
    SetScsiDebug(m_name, value);
  }
  ~ScsiDebugSetting() { SetScsiDebug(m_name, m_restore); }

 private:
  std::string m_name, m_restore;
};

/// The CDBs scsi_debug logged (opts=1) since this was made, read from /dev/kmsg: one
/// upper-case hex text per command, "3B 05 1F 00 00 00 00 40 00 00".
class KernelCommandLog {
 public:
  KernelCommandLog() : m_fd(::open("/dev/kmsg", O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    if (m_fd >= 0) ::lseek(m_fd, 0, SEEK_END);
  }
  ~KernelCommandLog() {
    if (m_fd >= 0) ::close(m_fd);
  }
  bool Open() const { return m_fd >= 0; }

  /// Every command logged so far (each call reads on from where the last stopped).
  const std::vector<std::string>& Commands() {
    char record[8192];
    for (;;) {
      const ssize_t n = ::read(m_fd, record, sizeof record - 1);
      if (n < 0 && errno == EPIPE) continue;  // records overwritten meanwhile: go on
      if (n <= 0) break;
      std::string line(record, static_cast<size_t>(n));
      const size_t at = line.find("scsi_debug: tag=");
      const size_t cmd = line.find(", cmd ", at == std::string::npos ? 0 : at);
      if (at == std::string::npos || cmd == std::string::npos) continue;
      std::string hex;
      for (char c : line.substr(cmd + 6, line.find('\n', cmd) - cmd - 6))
        hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      hex.erase(hex.find_last_not_of(' ') + 1);
      m_commands.push_back(hex);
      // "...;sr 2:0:0:0: [sr0] scsi_debug: ...": the device's host:channel:target:LUN.
      const size_t text = line.find(';') + 1, space = line.find(' ', text), colon = line.find(": ", space);
      m_addresses.push_back(space < colon && colon < at ? line.substr(space + 1, colon - space - 1) : "");
    }
    return m_commands;
  }
  /// The host:channel:target:LUN of each command of Commands(), where the kernel named it.
  const std::vector<std::string>& Addresses() {
    Commands();
    return m_addresses;
  }
  /// How many logged commands start with the operation code `opcode` ("3B").
  int Count(const std::string& opcode) {
    int count = 0;
    for (const std::string& command : Commands()) count += command.rfind(opcode + " ", 0) == 0;
    return count;
  }

 private:
  int m_fd;
  std::vector<std::string> m_commands;
  std::vector<std::string> m_addresses;
};

/// One step of a disturbance: after `afterMs` milliseconds, send `signal` to the target.
struct SignalStep {
  int afterMs;
  int signal;
};

/// A child process that sends `steps` to `target` (default: the parent), for
/// disturbing the test process in the middle of a command. Reaped when it goes.
class Disturber {
 public:
  explicit Disturber(std::vector<SignalStep> steps, pid_t target = ::getpid()) {
    m_child = ::fork();
    if (m_child == 0) {
      for (const SignalStep& step : steps) {
        std::this_thread::sleep_for(std::chrono::milliseconds(step.afterMs));
        ::kill(target, step.signal);
      }
      ::_exit(0);
    }
  }
  ~Disturber() {
    int status;
    if (m_child > 0) ::waitpid(m_child, &status, 0);
  }

 private:
  pid_t m_child = -1;
};

}  // namespace morv::guest
