#include "platform/terminal/testing/tmux_session.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

extern char** environ;

namespace morv::terminal::testing {
namespace {

constexpr std::chrono::milliseconds kPollInterval{50};
constexpr char kSession[] = "pty";
// No tmux command may take longer than this.
constexpr std::chrono::milliseconds kCommandLimit{10000};
// The server's settings: a known terminal type, and the window kept after the
// program ends so that its exit status can be read.
constexpr char kConfig[] = "set -g default-terminal tmux-256color\nset -g remain-on-exit on\n";

}  // namespace

CommandResult RunCommand(const std::vector<std::string>& argv, bool captureOutput) {
  CommandResult result;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // Only what the test reads goes into the pipe: a tmux server started by the
  // command would otherwise inherit it and keep it open for ever.
  if (captureOutput)
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // Our private server is no nested session, even when the tests run inside tmux.
  std::vector<char*> environment;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "TMUX=", 5) != 0 && std::strncmp(*e, "TMUX_PANE=", 10) != 0) environment.push_back(*e);
  environment.push_back(nullptr);
  pid_t pid;
  int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environment.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned == 0) {
    auto deadline = std::chrono::steady_clock::now() + kCommandLimit;
    char buffer[4096];
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{pipeFds[0], POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
        ::kill(pid, SIGKILL);
        break;
      }
      ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      result.output.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  }
  ::close(pipeFds[0]);
  return result;
}

std::vector<std::string> TmuxSession::Tmux(std::vector<std::string> args) const {
  args.insert(args.begin(), {"tmux", "-L", m_socket, "-f", m_config});
  return args;
}

TmuxSession::TmuxSession(const std::vector<std::string>& command, const std::string& directory, int rows,
                         int cols) {
  static std::atomic<int> counter{0};
  m_socket = "morvantide-pty-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  const char* tmp = std::getenv("TMPDIR");
  m_config = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + m_socket + ".conf";
  if (FILE* f = std::fopen(m_config.c_str(), "w")) {
    std::fputs(kConfig, f);
    std::fclose(f);
  }
  // tmux does not always record a pane's exit status, so a shell writes it down.
  m_statusFile = m_config + ".status";
  std::vector<std::string> args = Tmux({"new-session", "-d", "-s", kSession, "-x", std::to_string(cols), "-y",
                                        std::to_string(rows), "-c", directory, "--", "sh", "-c",
                                        "\"$@\"; echo $? > " + m_statusFile, "sh"});
  args.insert(args.end(), command.begin(), command.end());
  m_started = RunCommand(args).status == 0;
}

TmuxSession::~TmuxSession() {
  RunCommand(Tmux({"kill-server"}));
  std::remove(m_config.c_str());
  std::remove(m_statusFile.c_str());
}

void TmuxSession::SendKeys(const std::vector<std::string>& keys) {
  std::this_thread::sleep_until(m_lastAction + kOperatorPause);
  std::vector<std::string> args = Tmux({"send-keys", "-t", kSession});
  args.insert(args.end(), keys.begin(), keys.end());
  RunCommand(args);
  m_lastAction = std::chrono::steady_clock::now();
}

void TmuxSession::Resize(int rows, int cols) {
  RunCommand(Tmux({"resize-window", "-t", kSession, "-x", std::to_string(cols), "-y", std::to_string(rows)}));
}

std::string TmuxSession::Capture(bool withHistory) {
  std::vector<std::string> args = Tmux({"capture-pane", "-p", "-t", kSession});
  if (withHistory) args.insert(args.end(), {"-S", "-"});
  return RunCommand(args, true).output;
}

bool TmuxSession::WaitFor(const std::string& text, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  do {
    if (Capture().find(text) != std::string::npos) {
      m_lastAction = std::chrono::steady_clock::now();
      return true;
    }
    std::this_thread::sleep_for(kPollInterval);
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

bool TmuxSession::WaitForGone(const std::string& text, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  do {
    if (Capture().find(text) == std::string::npos) {
      m_lastAction = std::chrono::steady_clock::now();
      return true;
    }
    std::this_thread::sleep_for(kPollInterval);
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

int TmuxSession::WaitForExit(std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  do {
    std::ifstream file(m_statusFile);
    int status;
    if (file >> status) return status;
    std::this_thread::sleep_for(kPollInterval);
  } while (std::chrono::steady_clock::now() < deadline);
  return -1;
}

}  // namespace morv::terminal::testing
