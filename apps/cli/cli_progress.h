#pragma once
// The download's progress on standard error: a bar that rewrites itself on a
// terminal, one plain line per piece otherwise (a log, a pipe). It also times the
// download.

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "engine/update_sequence.h"

namespace morv {

class CliProgress : public UpdateProgress {
 public:
  /// `bar`: draw a bar (standard error is a terminal) rather than lines.
  CliProgress(std::string program, bool bar, std::FILE* out = stderr);

  void DownloadStarting(int planned) override;
  void PieceSent(int sent, int planned) override;

  bool Started() const { return m_started.has_value(); }
  int Sent() const { return m_sent; }
  int Planned() const { return m_planned; }
  /// Seconds from the confirmation to the last piece taken (0 before).
  double DownloadSeconds() const;

 private:
  void DrawBar();

  std::string m_program;
  bool m_bar;
  std::FILE* m_out;
  int m_sent = 0;
  int m_planned = 0;
  std::optional<std::chrono::steady_clock::time_point> m_started;
  std::chrono::steady_clock::time_point m_lastPiece;
};

}  // namespace morv
