// The only file of the toolkit that sees ncurses: its macros (OK, ERR, timeout,
// move, clear) stay out of every other translation unit.
#include "platform/terminal/curses_screen.h"

#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <clocale>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "platform/signal_hold.h"

namespace morv::terminal {
namespace {

// Whether the terminal newterm just set up can move the cursor to a given cell.
bool CanAddressTheCursor() {
  const char* move = tigetstr(const_cast<char*>("cup"));
  return move != nullptr && move != reinterpret_cast<const char*>(-1);
}


// Signals after which the terminal is restored before the default action runs:
// the faults, and every signal from outside that ends the process. Not those that
// stop it (the shell takes its own modes back), nor SIGPIPE, which the programs
// ignore: a broken pipe is a write error there.
std::vector<int> RestoreSignals() {
  std::vector<int> signals{SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS};
  for (int signal : TerminationSignalHold::Signals())
    if (signal != SIGTSTP && signal != SIGTTIN && signal != SIGTTOU && signal != SIGPIPE) signals.push_back(signal);
  return signals;
}
const std::vector<int> kRestoreSignals = RestoreSignals();

// How long to wait after Escape for the key it may prefix (Alt), milliseconds.
constexpr int kAltDelayMs = 30;
// Wait ncurses allows inside a function-key sequence, milliseconds.
constexpr int kEscDelayMs = 100;
// Failed blocking reads in a row after which the terminal counts as gone.
constexpr int kMaxFailedReads = 100;

// Turns mouse reporting off on terminals that speak the xterm mouse protocols.
constexpr char kMouseOff[] = "\033[?1000l\033[?1002l\033[?1003l\033[?1006l";

}  // namespace

struct CursesScreen::State {
  bool open = false;
  SCREEN* screen = nullptr;
  FILE* in = nullptr;
  FILE* out = nullptr;
  int outFd = -1;
  termios savedModes{};
  bool haveModes = false;
  std::string restoreSequence;  // written by the signal path, prepared beforehand
  // Standard output and standard error, held back while the dialog is drawn.
  struct HeldStream {
    int fd;           // STDOUT_FILENO or STDERR_FILENO
    int saved = -1;   // the real stream while it is held back
    int held = -1;    // where the stream goes meanwhile
  } held[2] = {{STDOUT_FILENO}, {STDERR_FILENO}};
  int altDown = 0, altUp = 0;   // key codes of Alt-Down and Alt-Up, where known
  bool closed = false;          // the terminal is gone
  bool goneDuringHold = false;  // it went during an update
  int wakeFd = -1;              // ReadKey returns Wake when readable
  int failedReads = 0;
  std::vector<struct sigaction> previous = std::vector<struct sigaction>(kRestoreSignals.size());
  std::terminate_handler previousTerminate = nullptr;
};

namespace {

// The one screen that owns the terminal, for the signal, exit and terminate paths.
std::atomic<CursesScreen::State*> g_owner{nullptr};
std::atomic<bool> g_restored{true};

void WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n <= 0) return;
    data += n;
    size -= static_cast<size_t>(n);
  }
}

// Sends a terminal stream into a temporary file until it is released, so that
// nothing written to it lands on top of the dialog.
void Hold(CursesScreen::State::HeldStream& stream) {
  if (!::isatty(stream.fd)) return;
  const char* tmp = std::getenv("TMPDIR");
  std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/morvantide-held-XXXXXX";
  const int file = ::mkstemp(name.data());
  if (file < 0) return;
  ::unlink(name.c_str());
  stream.saved = ::dup(stream.fd);
  stream.held = file;
  ::dup2(file, stream.fd);
}

// Sends what a stream held back to the real one and puts it back in place.
// Async-signal-safe: only dup2, pread and write.
void Release(CursesScreen::State::HeldStream& stream) {
  if (stream.saved < 0) return;
  ::dup2(stream.saved, stream.fd);
  char buffer[4096];
  off_t at = 0;
  for (;;) {
    ssize_t n = ::pread(stream.held, buffer, sizeof buffer, at);
    if (n <= 0) break;
    WriteAll(stream.fd, buffer, static_cast<size_t>(n));
    at += n;
  }
  ::close(stream.held);
  ::close(stream.saved);
  stream.held = stream.saved = -1;
}

// Standard output first, then standard error.
void ReleaseHeldStreams(CursesScreen::State& s) {
  for (auto& stream : s.held) Release(stream);
}

// Restores the terminal without ncurses: prepared escape sequences and the saved
// line modes. Safe inside a signal handler.
void EmergencyRestore() {
  if (g_restored.exchange(true)) return;
  CursesScreen::State* s = g_owner.load();
  if (!s) return;
  WriteAll(s->outFd, s->restoreSequence.data(), s->restoreSequence.size());
  if (s->haveModes) ::tcsetattr(s->outFd, TCSANOW, &s->savedModes);
  ReleaseHeldStreams(*s);
}

void OnFatalSignal(int signal) {
  EmergencyRestore();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void OnTerminate() {
  EmergencyRestore();
  std::abort();
}

void AtExit() { EmergencyRestore(); }

std::string Capability(const char* name) {
  const char* value = tigetstr(const_cast<char*>(name));
  return value && value != reinterpret_cast<const char*>(-1) ? std::string(value) : std::string();
}

int KeyCodeOf(const char* capability) {
  const char* value = tigetstr(const_cast<char*>(capability));
  if (!value || value == reinterpret_cast<const char*>(-1)) return 0;
  int code = key_defined(value);
  return code > 0 ? code : 0;
}

// Colours of each paint role (foreground, background, extra attributes), and the
// attributes that stand in for them on a monochrome terminal.
struct Look {
  short fg, bg;
  chtype colourAttr;
  chtype monoAttr;
};
const Look kLooks[] = {
    /* Screen        */ {COLOR_WHITE, COLOR_BLACK, 0, A_NORMAL},
    /* Window        */ {COLOR_BLACK, COLOR_WHITE, 0, A_NORMAL},
    /* Frame         */ {COLOR_BLACK, COLOR_WHITE, 0, A_NORMAL},
    /* Caption       */ {COLOR_WHITE, COLOR_BLUE, A_BOLD, A_BOLD},
    /* Field         */ {COLOR_BLACK, COLOR_CYAN, 0, A_NORMAL},
    /* Focus         */ {COLOR_WHITE, COLOR_BLUE, A_BOLD, A_REVERSE | A_BOLD},
    /* Selected      */ {COLOR_WHITE, COLOR_BLACK, A_BOLD, A_REVERSE},
    /* Button        */ {COLOR_BLACK, COLOR_WHITE, 0, A_NORMAL},
    /* DefaultButton */ {COLOR_BLUE, COLOR_WHITE, A_BOLD, A_BOLD},
    /* Disabled      */ {COLOR_BLACK, COLOR_WHITE, A_DIM, A_DIM},
    /* MenuBar       */ {COLOR_BLACK, COLOR_CYAN, 0, A_REVERSE},
    /* MenuHighlight */ {COLOR_WHITE, COLOR_BLACK, A_BOLD, A_BOLD},
    /* Busy          */ {COLOR_YELLOW, COLOR_RED, A_BOLD, A_REVERSE | A_BLINK},
    /* Picture       */ {COLOR_BLUE, COLOR_WHITE, A_BOLD, A_BOLD},
};
constexpr int kLookCount = sizeof(kLooks) / sizeof(kLooks[0]);
static_assert(kLookCount == static_cast<int>(Paint::Picture) + 1, "one look per paint role");

bool g_colour = false;

chtype AttributeOf(Paint paint) {
  const Look& look = kLooks[static_cast<int>(paint)];
  return g_colour ? (COLOR_PAIR(static_cast<int>(paint) + 1) | look.colourAttr) : look.monoAttr;
}

chtype GlyphOf(char glyph) {
  switch (glyph) {
    case kHLine: return ACS_HLINE;
    case kVLine: return ACS_VLINE;
    case kTopLeft: return ACS_ULCORNER;
    case kTopRight: return ACS_URCORNER;
    case kBottomLeft: return ACS_LLCORNER;
    case kBottomRight: return ACS_LRCORNER;
    case kTeeLeft: return ACS_LTEE;
    case kTeeRight: return ACS_RTEE;
    default: return static_cast<unsigned char>(glyph);
  }
}

// In a UTF-8 environment ncurses draws frames with the Unicode line pieces, which
// every UTF-8 terminal shows; elsewhere it uses the terminal's own line set. Only the
// character type follows the environment, and only when it is UTF-8, where single
// bytes classify exactly as in the "C" locale the rest of the program assumes.
void UseUtf8WhereTheTerminalDoes() {
  const char* previous = std::setlocale(LC_CTYPE, nullptr);
  std::string keep = previous ? previous : "C";
  if (!std::setlocale(LC_CTYPE, "")) return;
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, keep.c_str());
}

}  // namespace

CursesScreen::CursesScreen() : m_state(std::make_unique<State>()) {}

CursesScreen::~CursesScreen() { Close(); }

void CursesScreen::Open() {
  State& s = *m_state;
  if (s.open) return;
  if (g_owner.load()) throw TerminalUnavailable("the terminal is already in use by another screen");

  // Input from standard input when it is the terminal, else from the controlling
  // terminal; the same for output.
  int inFd = ::isatty(STDIN_FILENO) ? ::dup(STDIN_FILENO) : ::open("/dev/tty", O_RDONLY | O_CLOEXEC);
  int outFd = ::isatty(STDOUT_FILENO) ? ::dup(STDOUT_FILENO) : ::open("/dev/tty", O_WRONLY | O_CLOEXEC);
  if (inFd < 0 || outFd < 0 || !::isatty(inFd) || !::isatty(outFd)) {
    if (inFd >= 0) ::close(inFd);
    if (outFd >= 0) ::close(outFd);
    throw TerminalUnavailable("no terminal to run the dialog in");
  }
  s.in = ::fdopen(inFd, "r");
  s.out = ::fdopen(outFd, "w");
  s.outFd = outFd;
  s.haveModes = ::tcgetattr(outFd, &s.savedModes) == 0;
  UseUtf8WhereTheTerminalDoes();
  s.screen = s.in && s.out ? newterm(nullptr, s.out, s.in) : nullptr;
  // A terminal that cannot move the cursor (TERM=dumb) would get the dialog as a
  // stream of garbage: it counts as one we cannot drive.
  if (s.screen && !CanAddressTheCursor()) {
    endwin();
    delscreen(s.screen);
    s.screen = nullptr;
  }
  if (!s.screen) {
    if (s.in) std::fclose(s.in);
    if (s.out) std::fclose(s.out);
    s.in = s.out = nullptr;
    throw TerminalUnavailable(std::string("cannot drive this terminal (TERM=") +
                              (std::getenv("TERM") ? std::getenv("TERM") : "") + ")");
  }
  set_term(s.screen);
  s.open = true;

  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  curs_set(0);
  set_escdelay(kEscDelayMs);
  mouseinterval(0);
  mousemask(BUTTON1_PRESSED | BUTTON1_CLICKED | BUTTON4_PRESSED | BUTTON5_PRESSED, nullptr);
  const char* noColour = std::getenv("NO_COLOR");
  g_colour = has_colors() && !(noColour && *noColour);
  if (g_colour) {
    start_color();
    for (int i = 0; i < kLookCount; ++i) init_pair(static_cast<short>(i + 1), kLooks[i].fg, kLooks[i].bg);
  }
  s.altDown = KeyCodeOf("kDN3");
  s.altUp = KeyCodeOf("kUP3");
  s.restoreSequence = Capability("sgr0") + Capability("cnorm") + Capability("rmkx") +
                      (Capability("kmous").empty() ? std::string() : std::string(kMouseOff)) + Capability("rmcup");

  // Standard output and standard error would write over the dialog: hold them back
  // until the end.
  std::cout.flush();
  std::clog.flush();
  std::fflush(stdout);
  std::fflush(stderr);
  for (auto& stream : s.held) Hold(stream);

  g_owner.store(&s);
  g_restored.store(false);
  struct sigaction action {};
  action.sa_handler = OnFatalSignal;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < kRestoreSignals.size(); ++i) ::sigaction(kRestoreSignals[i], &action, &s.previous[i]);
  s.previousTerminate = std::set_terminate(OnTerminate);
  static bool atExitRegistered = false;
  if (!atExitRegistered) atExitRegistered = std::atexit(AtExit) == 0;
}

void CursesScreen::Close() {
  State& s = *m_state;
  if (!s.open) return;
  s.open = false;
  std::cout.flush();
  std::clog.flush();
  std::fflush(stdout);
  std::fflush(stderr);
  if (!g_restored.exchange(true)) {
    endwin();
    ReleaseHeldStreams(s);
  }
  for (size_t i = 0; i < kRestoreSignals.size(); ++i) ::sigaction(kRestoreSignals[i], &s.previous[i], nullptr);
  std::set_terminate(s.previousTerminate);
  g_owner.store(nullptr);
  delscreen(s.screen);
  s.screen = nullptr;
  std::fclose(s.in);
  std::fclose(s.out);
  s.in = s.out = nullptr;
}

void CursesScreen::WakeOn(int fd) { m_state->wakeFd = fd; }

bool CursesScreen::GoneDuringHold() const { return m_state->goneDuringHold; }

namespace {

// No more input will come: every read from now on returns Closed.
void NoteGone(CursesScreen::State& s) {
  s.closed = true;
  if (TerminationSignalHold::Active()) s.goneDuringHold = true;
}

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return fd >= 0 && ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

}  // namespace

int CursesScreen::Rows() {
  Open();
  return getmaxy(stdscr);
}

int CursesScreen::Cols() {
  Open();
  return getmaxx(stdscr);
}

void CursesScreen::Present(const Canvas& canvas) {
  Open();
  int rows = std::min(canvas.Rows(), getmaxy(stdscr)), cols = std::min(canvas.Cols(), getmaxx(stdscr));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const Cell& cell = canvas.At(r, c);
      // The bottom-right cell is skipped: writing it scrolls some terminals.
      if (r == getmaxy(stdscr) - 1 && c == getmaxx(stdscr) - 1) continue;
      mvaddch(r, c, GlyphOf(cell.glyph) | AttributeOf(cell.paint));
    }
  refresh();
}

void CursesScreen::Bell() {
  Open();
  beep();
}

void CursesScreen::FlushInput() {
  Open();
  flushinp();
}

long long CursesScreen::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::optional<KeyEvent> CursesScreen::ReadKey(bool wait) {
  Open();
  State& s = *m_state;
  for (;;) {
    if (s.closed) return KeyEvent::Key(KeyCode::Closed);
    // With a wake descriptor, what ncurses has already is taken first, then both
    // the terminal and the descriptor are waited on.
    const bool watchWake = s.wakeFd >= 0;
    wtimeout(stdscr, wait && !watchWake ? -1 : 0);
    int ch = wgetch(stdscr);
    if (ch == ERR && watchWake) {
      if (Readable(s.wakeFd)) return KeyEvent::Key(KeyCode::Wake);
      if (!wait) return std::nullopt;
      pollfd p[2] = {{::fileno(s.in), POLLIN, 0}, {s.wakeFd, POLLIN, 0}};
      // A hung-up terminal reports POLLIN with POLLHUP and reads nothing: gone.
      if (::poll(p, 2, -1) > 0 && (p[0].revents & (POLLHUP | POLLERR | POLLNVAL))) NoteGone(s);
      continue;  // interrupted by a signal, input or a wake: the next round tells which
    }
    if (ch == ERR) {
      if (!wait) return std::nullopt;
      pollfd p{::fileno(s.in), POLLIN, 0};
      bool hungUp = ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
      if (hungUp || ++s.failedReads >= kMaxFailedReads) NoteGone(s);
      continue;
    }
    s.failedReads = 0;
    bool alt = false;
    if (ch == 27) {
      // Escape alone, or the prefix of an Alt combination.
      wtimeout(stdscr, kAltDelayMs);
      int next = wgetch(stdscr);
      if (next == ERR) return KeyEvent::Key(KeyCode::Escape);
      if (next >= 0x20 && next < 0x7F) return KeyEvent::Alt(static_cast<char>(next));
      if (next != KEY_DOWN && next != KEY_UP) {
        ungetch(next);
        return KeyEvent::Key(KeyCode::Escape);
      }
      alt = true;
      ch = next;
    }
    KeyEvent key;
    key.alt = alt;
    if (ch >= 0x20 && ch < 0x7F) return KeyEvent::Char(static_cast<char>(ch));
    if (s.altDown && ch == s.altDown) return KeyEvent::AltKey(KeyCode::Down);
    if (s.altUp && ch == s.altUp) return KeyEvent::AltKey(KeyCode::Up);
    switch (ch) {
      case '\t': key.code = KeyCode::Tab; return key;
      case KEY_BTAB: key.code = KeyCode::BackTab; return key;
      case '\r': case '\n': case KEY_ENTER: key.code = KeyCode::Enter; return key;
      case KEY_UP: key.code = KeyCode::Up; return key;
      case KEY_DOWN: key.code = KeyCode::Down; return key;
      case KEY_LEFT: key.code = KeyCode::Left; return key;
      case KEY_RIGHT: key.code = KeyCode::Right; return key;
      case KEY_HOME: case KEY_A1: key.code = KeyCode::Home; return key;
      case KEY_END: case KEY_C1: key.code = KeyCode::End; return key;
      case KEY_PPAGE: case KEY_A3: key.code = KeyCode::PageUp; return key;
      case KEY_NPAGE: case KEY_C3: key.code = KeyCode::PageDown; return key;
      case KEY_F(4): key.code = KeyCode::F4; return key;
      case KEY_F(10): key.code = KeyCode::F10; return key;
      case KEY_RESIZE: key.code = KeyCode::Resize; return key;
      case KEY_MOUSE: {
        MEVENT event;
        if (getmouse(&event) != OK) break;
        if (event.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED)) return KeyEvent::Click(event.y, event.x);
        if (event.bstate & BUTTON4_PRESSED) return KeyEvent::Wheel(true, event.y, event.x);
        if (event.bstate & BUTTON5_PRESSED) return KeyEvent::Wheel(false, event.y, event.x);
        break;
      }
      default:
        break;  // control characters and keys the dialog has no use for
    }
    if (!wait) return std::nullopt;
  }
}

}  // namespace morv::terminal
