// Plain terminal I/O for the interactive correction: single keys without
// echo on a real terminal (restored on exit and on fatal signals), and a
// line-oriented fallback when the input is not a terminal.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace orth::cli {

struct Terminal {
  bool screen = false;  // a real terminal: raw keys and a redrawn screen
  std::FILE* in = stdin;
  std::FILE* out = stdout;
};

// Opens the terminal: screen mode when both stdin and stdout are terminals
// (keys are then read one at a time without echo until CloseTerminal).
Terminal OpenTerminal();
void CloseTerminal(Terminal& terminal);

// Removes the file at `path` (an unfinished copy) when a fatal signal
// (SIGINT, SIGTERM, SIGHUP, SIGQUIT) ends the process; an empty path stops
// that. A terminal in screen mode is restored on those signals as well.
void RemoveOnFatalSignal(const std::string& path);

// Clears the screen (screen mode only).
void ClearScreen(const Terminal& terminal);

// The number of columns of the terminal (80 when unknown).
int TerminalWidth(const Terminal& terminal);

// Reads one command key: on a terminal the next key press, otherwise the
// first character of the next non-empty line. Nothing at the end of input.
std::optional<char> ReadKey(Terminal& terminal, const char* prompt);

// Reads a line of text after a prompt (echoed on a terminal, with backspace).
// Nothing at the end of input or when the user pressed Escape.
std::optional<std::string> ReadTextLine(Terminal& terminal, const char* prompt);

// Wraps text in reverse video on a terminal, in [[ ]] otherwise.
std::string Highlight(const Terminal& terminal, const std::string& text);

}  // namespace orth::cli
