// The converter as a person meets it on Windows: this Win32 program starts
// rgbhsv.exe, finds its dialog by caption, types into it, reads the six
// fields back with WM_GETTEXT and the swatch's colour off the screen, and
// prints the same lines as scenario_host does on our platform layer.
//
// usage: probe RGBHSV.EXE            the shared scenarios
//        probe RGBHSV.EXE --startup  milliseconds to the visible dialog
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>

#include "../dialog_scenarios.h"
#include "find_dialog.h"
#include "resources/resource.h"

namespace {

const int kFields[6] = {IDC_RED, IDC_GREEN, IDC_BLUE, IDC_HUE, IDC_SAT, IDC_VAL};

struct Program {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
};

bool StartOnce(const char *exe, Program *p)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = std::string("\"") + exe + "\"";
    if (!CreateProcessA(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &p->process)) {
        std::fprintf(stderr, "probe: cannot start %s (error %lu)\n", exe, GetLastError());
        return false;
    }
    // A new Wine prefix can take many seconds over its first program.
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!p->dialog && GetTickCount64() < deadline) {
        p->dialog = FindConverterDialog(p->process.dwProcessId);
        if (p->dialog) break;
        DWORD code = 0;
        if (WaitForSingleObject(p->process.hProcess, 2) == WAIT_OBJECT_0) {
            GetExitCodeProcess(p->process.hProcess, &code);
            std::fprintf(stderr, "probe: %s ended with %lu before its dialog appeared\n", exe, code);
            break;
        }
    }
    if (!p->dialog) {
        TerminateProcess(p->process.hProcess, 99);
        CloseHandle(p->process.hThread);
        CloseHandle(p->process.hProcess);
        return false;
    }
    WaitForInputIdle(p->process.hProcess, 5000);
    return true;
}

// Wine on a loaded machine now and then loses a program's start; a second
// try tells that apart from a dialog that never comes.
bool Start(const char *exe, Program *p)
{
    if (StartOnce(exe, p)) return true;
    *p = Program{};
    return StartOnce(exe, p);
}

// Waits until the dialog's thread has handled everything sent its way.
void Settle(const Program &p)
{
    WaitForInputIdle(p.process.hProcess, 2000);
    DWORD_PTR ignored;
    SendMessageTimeoutW(p.dialog, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &ignored);
    Sleep(30);
}

// A key as the dialog's own message loop receives it: posted to the control
// that has the focus, so that the dialog manager sees Tab and Escape first.
void Key(const Program &p, WORD vk, bool shift = false)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(p.process.dwThreadId, &info);
    HWND target = info.hwndFocus ? info.hwndFocus : p.dialog;
    BYTE state[256] = {};
    if (shift) {
        // The dialog manager asks for Shift's state when it sees Tab.
        AttachThreadInput(GetCurrentThreadId(), p.process.dwThreadId, TRUE);
        GetKeyboardState(state);
        state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
    }
    const UINT scan = MapVirtualKeyW(vk, 0);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | scan << 16);
    const WCHAR ch = vk == VK_BACK ? L'\b' : vk == VK_TAB ? L'\t' : vk == VK_ESCAPE ? 0x1B : 0;
    if (ch) PostMessageW(target, WM_CHAR, ch, 1 | scan << 16);
    PostMessageW(target, WM_KEYUP, vk, 1 | scan << 16 | 0xC0000000u);
    Settle(p);
    if (shift) {
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
        AttachThreadInput(GetCurrentThreadId(), p.process.dwThreadId, FALSE);
    }
}

void Type(const Program &p, char digit)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(p.process.dwThreadId, &info);
    PostMessageW(info.hwndFocus ? info.hwndFocus : p.dialog, WM_CHAR, static_cast<WPARAM>(digit), 1);
    Settle(p);
}

std::string Field(const Program &p, int id)
{
    char text[16] = {};
    SendMessageA(GetDlgItem(p.dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

COLORREF SwatchOnScreen(const Program &p)
{
    RECT r;
    GetWindowRect(GetDlgItem(p.dialog, IDC_SWATCH), &r);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return colour;
}

int RunScenario(const char *exe, const DialogScenario &scenario)
{
    Program p;
    if (!Start(exe, &p)) {
        std::printf("%s: the dialog did not appear\n", scenario.name);
        return 1;
    }
    int reports = 0;
    const char *s = scenario.script;
    while (*s) {
        const char *end = std::strchr(s, ' ');
        const std::string word(s, end ? static_cast<size_t>(end - s) : std::strlen(s));
        s = end ? end + 1 : s + word.size();
        if (word == "tab") Key(p, VK_TAB);
        else if (word == "btab") Key(p, VK_TAB, true);
        else if (word == "bs") Key(p, VK_BACK);
        else if (word == "esc") Key(p, VK_ESCAPE);
        else if (word == "report") {
            std::string rows;
            for (int i = 0; i < 6; i++) rows += Field(p, kFields[i]) + (i == 2 ? " / " : i == 5 ? "" : " ");
            std::printf("%s, report %d: %s, swatch %06lx\n", scenario.name, ++reports, rows.c_str(),
                        static_cast<unsigned long>(SwatchOnScreen(p)));
        } else {
            for (char c : word) Type(p, c);
        }
    }
    DWORD code = 259;
    if (WaitForSingleObject(p.process.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(p.process.hProcess, &code);
    else TerminateProcess(p.process.hProcess, 99);
    std::printf("%s: exit %lu\n", scenario.name, static_cast<unsigned long>(code));
    CloseHandle(p.process.hProcess);
    CloseHandle(p.process.hThread);
    std::fflush(stdout);
    return 0;
}

// Loads measure.dll into the running program, which writes what each text
// needs and has to `out`; prints that file.
int Measure(const char *exe, const char *dll, const char *out)
{
    DeleteFileA(out);
    SetEnvironmentVariableA("RGBHSV_MEASURE_OUT", out);
    Program p;
    if (!Start(exe, &p)) {
        std::printf("the dialog did not appear\n");
        return 1;
    }
    WCHAR path[MAX_PATH];
    const int length = MultiByteToWideChar(CP_ACP, 0, dll, -1, path, MAX_PATH);
    void *remote = VirtualAllocEx(p.process.hProcess, nullptr, sizeof path, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(p.process.hProcess, remote, path, static_cast<SIZE_T>(length) * sizeof(WCHAR), nullptr);
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = CreateRemoteThread(p.process.hProcess, nullptr, 0, load, remote, 0, nullptr);
    if (thread) {
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    int status = 1;
    for (int i = 0; i < 100 && status; i++) {
        if (FILE *f = std::fopen(out, "rb")) {
            char line[256];
            while (std::fgets(line, sizeof line, f)) std::fputs(line, stdout);
            std::fclose(f);
            status = 0;
        } else {
            Sleep(100);
        }
    }
    if (status) std::printf("nothing was measured\n");
    Key(p, VK_ESCAPE);
    if (WaitForSingleObject(p.process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(p.process.hProcess, 99);
    return status;
}

}  // namespace

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // \n, as scenario_host writes
    if (argc < 2) {
        std::fprintf(stderr, "usage: probe RGBHSV.EXE [--startup | --measure MEASURE.DLL OUT]\n");
        return 2;
    }
    if (argc == 5 && std::strcmp(argv[2], "--measure") == 0) return Measure(argv[1], argv[3], argv[4]);
    if (argc == 3 && std::strcmp(argv[2], "--startup") == 0) {
        LARGE_INTEGER frequency, start, shown;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        Program p;
        if (!Start(argv[1], &p)) return 1;
        QueryPerformanceCounter(&shown);
        std::printf("%.1f\n", 1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                                   static_cast<double>(frequency.QuadPart));
        Key(p, VK_ESCAPE);
        WaitForSingleObject(p.process.hProcess, 10000);
        return 0;
    }
    int failures = 0;
    for (const DialogScenario &scenario : kDialogScenarios) failures += RunScenario(argv[1], scenario);
    return failures ? 1 : 0;
}
