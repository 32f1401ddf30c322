#include "apps/cli/cli_progress.h"

#include <utility>

namespace morv {
namespace {

constexpr int kBarWidth = 32;

}  // namespace

CliProgress::CliProgress(std::string program, bool bar, std::FILE* out)
    : m_program(std::move(program)), m_bar(bar), m_out(out) {}

void CliProgress::DownloadStarting(int planned) {
  m_planned = planned;
  m_started = m_lastPiece = std::chrono::steady_clock::now();
  if (m_bar)
    DrawBar();
  else
    std::fprintf(m_out, "%s: writing %d pieces\n", m_program.c_str(), planned);
  std::fflush(m_out);
}

void CliProgress::PieceSent(int sent, int planned) {
  m_sent = sent;
  m_lastPiece = std::chrono::steady_clock::now();
  if (m_bar)
    DrawBar();
  else
    std::fprintf(m_out, "%s: piece %d/%d written\n", m_program.c_str(), sent, planned);
  if (sent == planned) {
    if (m_bar) std::fputc('\n', m_out);
    std::fprintf(m_out, "%s: letting the drive settle\n", m_program.c_str());
  }
  std::fflush(m_out);
}

double CliProgress::DownloadSeconds() const {
  if (!m_started) return 0;
  return std::chrono::duration<double>(m_lastPiece - *m_started).count();
}

void CliProgress::DrawBar() {
  const int filled = m_planned == 0 ? kBarWidth : m_sent * kBarWidth / m_planned;
  std::fprintf(m_out, "\r%s: [%s%s] %d/%d pieces", m_program.c_str(), std::string(filled, '#').c_str(),
               std::string(kBarWidth - filled, '.').c_str(), m_sent, m_planned);
}

}  // namespace morv
