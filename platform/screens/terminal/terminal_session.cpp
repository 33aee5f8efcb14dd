// The terminal session: what the terminal was, and putting it back on every
// path out of the program. The restore bytes and the shell's modes live here,
// apart from the window system's record, so that a signal handler reaches
// them and may call nothing but write and tcsetattr.
// Leaves out: SIGKILL and SIGSTOP, which no program can catch.
#include "terminal_session.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace platform {
namespace {

char g_reset[512];
size_t g_reset_length = 0;
struct termios g_shell_modes;
bool g_have_shell_modes = false;
// Set by the suspend handler once the process runs again.
volatile sig_atomic_t g_resumed = 0;

void RestoreNow()
{
    if (g_reset_length) {
        ssize_t ignored = write(STDOUT_FILENO, g_reset, g_reset_length);
        (void)ignored;
    }
    if (g_have_shell_modes) tcsetattr(STDIN_FILENO, TCSANOW, &g_shell_modes);
}

extern "C" void RestoreAndDie(int signal_number)
{
    RestoreNow();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void CatchSuspend();

void CatchFatal(int signal_number)
{
    struct sigaction old {};
    if (sigaction(signal_number, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) return;
    struct sigaction fatal {};
    fatal.sa_handler = RestoreAndDie;
    sigemptyset(&fatal.sa_mask);
    sigaction(signal_number, &fatal, nullptr);
}

// SIGTSTP (kill -TSTP, or the suspend character): the terminal goes back to
// how the shell left it, the process stops as it would by default, and when
// it is continued the handler returns here.
extern "C" void SuspendHere(int)
{
    const int saved_errno = errno;
    RestoreNow();
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTSTP, &stop, nullptr);
    sigset_t tstp;
    sigemptyset(&tstp);
    sigaddset(&tstp, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
    raise(SIGTSTP);
    CatchSuspend();
    g_resumed = 1;
    errno = saved_errno;
}

void CatchSuspend()
{
    // No SA_RESTART: a read waiting for a key must return, so that the
    // resume is handled at once.
    struct sigaction suspend {};
    suspend.sa_handler = SuspendHere;
    sigemptyset(&suspend.sa_mask);
    sigaction(SIGTSTP, &suspend, nullptr);
}

}  // namespace

bool SaveShellModes()
{
    g_have_shell_modes = tcgetattr(STDIN_FILENO, &g_shell_modes) == 0;
    return g_have_shell_modes;
}

cc_t ShellSuspendCharacter()
{
    if (!g_have_shell_modes || g_shell_modes.c_cc[VSUSP] == _POSIX_VDISABLE) return 0;
    return g_shell_modes.c_cc[VSUSP];
}

void RestoreShellModes()
{
    if (g_have_shell_modes) tcsetattr(STDIN_FILENO, TCSANOW, &g_shell_modes);
}

void ArmRestore(const std::string &reset)
{
    g_reset_length = std::min(reset.size(), sizeof g_reset);
    std::memcpy(g_reset, reset.data(), g_reset_length);
    // Every signal whose default action ends the process, and that is not
    // ignored already (as SIGHUP is under nohup): the terminal is put back
    // first, then the signal ends the process as it would have.
    for (int s : {SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGUSR1, SIGSEGV, SIGUSR2,
                  SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL, SIGSYS,
#ifdef SIGSTKFLT
                  SIGSTKFLT,
#endif
#ifdef SIGPWR
                  SIGPWR,
#endif
                 })
        CatchFatal(s);
    for (int s = SIGRTMIN; s <= SIGRTMAX; s++) CatchFatal(s);
    g_resumed = 0;
    CatchSuspend();
}

void RestoreTerminal()
{
    RestoreNow();
}

void DisarmRestore()
{
    g_reset_length = 0;
    std::signal(SIGTSTP, SIG_DFL);
}

bool TakeResume()
{
    if (!g_resumed) return false;
    g_resumed = 0;
    return true;
}

void WriteToTerminal(const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (!(n < 0 && errno == EINTR))
            return;
    }
}

}  // namespace platform
