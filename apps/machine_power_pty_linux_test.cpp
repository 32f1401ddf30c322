// MorvantideNT with --simulate in a real terminal, against the machine's power as the
// system bus tells it (python3-dbusmock's logind and UPower on a bus of the test's
// own), or without a system bus: what the operator sees and what the trace shows.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/firmware_image.h"
#include "engine/package_writer.h"
#include "platform/linux/testing/private_system_bus.h"
#include "platform/terminal/testing/tmux_session.h"

namespace morv {
namespace {

namespace fs = std::filesystem;
using terminal::testing::TmuxSession;
using testing::PrivateSystemBus;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr char kLowBatteryLine[] = "Plug in the power supply, then press Update Start again.";

Lines ReadLines(const std::string& path) {
  Lines lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

size_t CountStartingWith(const Lines& lines, const std::string& prefix) {
  size_t count = 0;
  for (const std::string& line : lines) count += line.rfind(prefix, 0) == 0;
  return count;
}

class PowerInTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/morvantide-power-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
    FirmwareImage image;
    GenerateImage(3, image);
    PackageDescription description;
    description.model = "MX-R4410";
    const std::string text = ParameterFileText(description, ImageChecksum(image));
    WriteFileBytes(m_dir + "/R4410A.OUC", text.data(), text.size());
    WriteFileBytes(m_dir + "/R4410A.bin", image.data(), image.size());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }

  /// Starts the program on `busAddress` and presses Update Start on the package; the
  /// trace's lines from before the press are kept in m_beforeUpdate.
  std::unique_ptr<TmuxSession> PressUpdateStart(const std::string& busAddress) {
    auto tmux = std::make_unique<TmuxSession>(Lines{"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "LANG=C.UTF-8", "XDG_CONFIG_HOME=" + m_dir,
                       "DBUS_SYSTEM_BUS_ADDRESS=" + busAddress, MORVANTIDE_NT, "--simulate", "--terminal", "--trace",
                       Trace()},
                 m_dir);
    EXPECT_TRUE(tmux->Started());
    EXPECT_TRUE(tmux->WaitFor("> OK <")) << tmux->Capture();  // the notice
    tmux->SendKeys({"Enter"});
    EXPECT_TRUE(tmux->WaitFor(":R4410A.OUC")) << tmux->Capture();  // discovery has ended
    tmux->SendKeys({"Down"});
    EXPECT_TRUE(tmux->WaitFor("R4410A.OUC     ]")) << tmux->Capture();
    m_beforeUpdate = ReadLines(Trace());
    tmux->SendKeys({"Enter"});  // Update Start, the default button
    return tmux;
  }
  /// Answers Yes and waits for the completion box, closes it and ends the program.
  void ConfirmAndComplete(TmuxSession& tmux) {
    ASSERT_TRUE(tmux.WaitFor("Firmware Update Execute ?", 30s)) << tmux.Capture();
    tmux.SendKeys({"Enter"});
    ASSERT_TRUE(tmux.WaitFor("Firmware Update Complete", 60s)) << tmux.Capture();
    ASSERT_TRUE(tmux.WaitFor("> OK <")) << tmux.Capture();
    tmux.SendKeys({"Enter"});
    ASSERT_TRUE(tmux.WaitForGone("> OK <")) << tmux.Capture();
    tmux.SendKeys({"Escape"});
    EXPECT_EQ(tmux.WaitForExit(), 0) << tmux.Capture(true);
  }
  std::string Trace() const { return m_dir + "/trace.txt"; }

  std::string m_dir;
  Lines m_beforeUpdate;
};

TEST_F(PowerInTerminal, ALowBatteryIsRefusedAndNothingMoreReachesTheDrive) {
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.StartTemplate("logind", "org.freedesktop.login1"));
  ASSERT_TRUE(bus.StartTemplate("upower", "org.freedesktop.UPower", R"({"OnBattery": true})"));
  ASSERT_TRUE(bus.SetDisplayBattery(20));
  std::unique_ptr<TmuxSession> tmux = PressUpdateStart(std::getenv("DBUS_SYSTEM_BUS_ADDRESS"));
  ASSERT_TRUE(tmux->WaitFor(kLowBatteryLine)) << tmux->Capture();
  EXPECT_NE(tmux->Capture().find("battery with 20 % left"), std::string::npos) << tmux->Capture();
  std::cout << "the refusal (capture-pane):\n" << tmux->Capture() << std::endl;
  tmux->SendKeys({"Enter"});
  ASSERT_TRUE(tmux->WaitForGone(kLowBatteryLine)) << tmux->Capture();
  tmux->SendKeys({"Escape"});
  EXPECT_EQ(tmux->WaitForExit(), 0) << tmux->Capture(true);
  EXPECT_EQ(tmux->Capture(true).find("Firmware Update Execute ?"), std::string::npos);
  const Lines trace = ReadLines(Trace());
  EXPECT_GT(CountStartingWith(trace, "E: "), 0u) << "discovery";
  EXPECT_EQ(trace, m_beforeUpdate) << "nothing after the package checks";
}

TEST_F(PowerInTerminal, OnMainsTheFlashCompletesWithNothingToNote) {
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.StartTemplate("logind", "org.freedesktop.login1"));
  ASSERT_TRUE(bus.StartTemplate("upower", "org.freedesktop.UPower"));
  std::unique_ptr<TmuxSession> tmux = PressUpdateStart(std::getenv("DBUS_SYSTEM_BUS_ADDRESS"));
  ConfirmAndComplete(*tmux);
  const Lines trace = ReadLines(Trace());
  EXPECT_EQ(CountStartingWith(trace, "E: 3B "), 32u);
  EXPECT_EQ(CountStartingWith(trace, "# "), 0u);
  EXPECT_EQ(bus.InhibitorsOnce(0), Lines{}) << "dropped at the end";
}

// Servers and rescue systems have no system bus: the flash goes on, and the trace
// says what could not be done.
TEST_F(PowerInTerminal, WithoutASystemBusTheFlashCompletesAndTheTraceSaysSo) {
  std::unique_ptr<TmuxSession> tmux = PressUpdateStart("unix:path=/nonexistent/system_bus_socket");
  ConfirmAndComplete(*tmux);
  const Lines trace = ReadLines(Trace());
  EXPECT_EQ(CountStartingWith(trace, "E: 3B "), 32u);
  const Lines notes{"# power: battery not checked: no system bus (No such file or directory)",
                    "# power: sleep and power-off not held off: no system bus (No such file or directory)"};
  Lines found;
  for (const std::string& line : trace)
    if (line.rfind("# ", 0) == 0) found.push_back(line);
  EXPECT_EQ(found, notes);
}

}  // namespace
}  // namespace morv
