// The terminal session: the modes the shell had, the bytes that put the
// terminal back, and the signals that must leave it as it was (fatal ones,
// and a suspend, after which the program's modes are set again). Internal
// to the terminal screen.
#ifndef RGBHSV_PLATFORM_TERMINAL_SESSION_H
#define RGBHSV_PLATFORM_TERMINAL_SESSION_H

#include <termios.h>

#include <string>

namespace platform {

// Keeps the terminal's modes as the shell left them. False without a
// terminal on standard input.
bool SaveShellModes();
// The suspend character of those modes (Ctrl+Z as a rule), or 0 if none.
cc_t ShellSuspendCharacter();
// Puts the shell's modes back, and nothing else (nothing was drawn yet).
void RestoreShellModes();

// From now on every exit path (the end of the session, a fatal signal, a
// suspend) writes `reset` and puts the shell's modes back.
void ArmRestore(const std::string &reset);
// Writes the reset bytes and puts the shell's modes back, once the screen
// library has finished with the terminal.
void RestoreTerminal();
// The restore is no longer wanted: the session has ended.
void DisarmRestore();

// True once after the process was continued from a suspend; the screen then
// sets its modes again and draws everything anew.
bool TakeResume();

// Writes all of `text` to standard output, through interruptions.
void WriteToTerminal(const std::string &text);

}  // namespace platform

#endif
