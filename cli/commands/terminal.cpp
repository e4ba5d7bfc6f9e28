// Plain terminal I/O: termios for single keys, ANSI sequences for the
// screen, and a line-oriented fallback for pipes and files.
#include "commands/terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace orth::cli {

namespace {

constexpr int FATAL_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The settings to restore; a process has one controlling terminal.
struct termios savedSettings;
volatile std::sig_atomic_t rawActive = 0;

// The file to remove on a fatal signal.
char removePath[4096];
volatile std::sig_atomic_t removeActive = 0;

void RestoreSettings() {
  if (rawActive != 0) {
    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    rawActive = 0;
  }
}

// A fatal signal must not leave the user's terminal without echo, nor a
// half-written copy next to the user's file.
void OnFatalSignal(int signalNumber) {
  if (removeActive != 0) unlink(removePath);
  if (rawActive != 0) {
    RestoreSettings();
    static const char RESET[] = "\x1b[0m\n";
    (void)!write(STDOUT_FILENO, RESET, sizeof RESET - 1);
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

// The handler stays while it has something to do.
void UpdateHandlers() {
  const bool wanted = rawActive != 0 || removeActive != 0;
  for (const int s : FATAL_SIGNALS) signal(s, wanted ? OnFatalSignal : SIG_DFL);
}

}  // namespace

Terminal OpenTerminal() {
  Terminal terminal;
  if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) return terminal;
  if (tcgetattr(STDIN_FILENO, &savedSettings) != 0) return terminal;
  struct termios raw = savedSettings;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  rawActive = 1;
  UpdateHandlers();
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) {
    rawActive = 0;
    UpdateHandlers();
    return terminal;
  }
  terminal.screen = true;
  return terminal;
}

void CloseTerminal(Terminal& terminal) {
  if (!terminal.screen) return;
  RestoreSettings();
  UpdateHandlers();
  terminal.screen = false;
}

void RemoveOnFatalSignal(const std::string& path) {
  removeActive = 0;
  if (!path.empty() && path.size() < sizeof removePath) {
    std::memcpy(removePath, path.c_str(), path.size() + 1);
    removeActive = 1;
  }
  UpdateHandlers();
}

void ClearScreen(const Terminal& terminal) {
  if (terminal.screen) std::fputs("\x1b[H\x1b[2J", terminal.out);
}

int TerminalWidth(const Terminal& terminal) {
  struct winsize size {};
  if (terminal.screen && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) {
    return size.ws_col;
  }
  return 80;
}

std::optional<char> ReadKey(Terminal& terminal, const char* prompt) {
  std::fputs(prompt, terminal.out);
  std::fflush(terminal.out);
  if (terminal.screen) {
    const int c = std::fgetc(terminal.in);
    if (c == EOF) return std::nullopt;
    return static_cast<char>(c);
  }
  for (;;) {
    const std::optional<std::string> line = ReadTextLine(terminal, "");
    if (!line) return std::nullopt;
    if (!line->empty()) return (*line)[0];
  }
}

std::optional<std::string> ReadTextLine(Terminal& terminal, const char* prompt) {
  std::fputs(prompt, terminal.out);
  std::fflush(terminal.out);
  std::string line;
  for (;;) {
    const int c = std::fgetc(terminal.in);
    if (c == EOF) {
      if (terminal.screen || line.empty()) return std::nullopt;
      return line;
    }
    if (c == '\n' || c == '\r') break;
    if (!terminal.screen) {
      line.push_back(static_cast<char>(c));
      continue;
    }
    if (c == 0x1b) {  // Escape: give up on the line
      std::fputs("\n", terminal.out);
      return std::nullopt;
    }
    if (c == 0x7f || c == 0x08) {
      if (line.empty()) continue;
      // Drop a whole UTF-8 character: its continuation bytes and the lead.
      while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80) {
        line.pop_back();
      }
      if (!line.empty()) line.pop_back();
      std::fputs("\b \b", terminal.out);
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      line.push_back(static_cast<char>(c));
      std::fputc(c, terminal.out);
    }
    std::fflush(terminal.out);
  }
  if (terminal.screen) std::fputs("\n", terminal.out);
  return line;
}

std::string Highlight(const Terminal& terminal, const std::string& text) {
  if (terminal.screen) return "\x1b[7m" + text + "\x1b[0m";
  return "[[" + text + "]]";
}

}  // namespace orth::cli
