// The converter as a person meets it on Windows: this Win32 program starts
// rgbhsv.exe, finds its dialog by caption, types into it, reads the six
// fields back with WM_GETTEXT and the swatch's colour off the screen, and
// prints the same lines as scenario_host does on our platform layer.
//
// usage: probe RGBHSV.EXE                  the shared scenarios
//        probe RGBHSV.EXE --startup        milliseconds to the visible dialog
//        probe RGBHSV.EXE --trace SCRIPT   a session, the state after each key
//        probe RGBHSV.EXE --names          each field's name, as a screen reader asks it
#include <windows.h>
#include <oleacc.h>

#include <cctype>
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
// A sent message is handled at the thread's next look at its queue, and
// each look takes one posted message: four of them outlast a key's down, up
// and the character TranslateMessage posts.
void Settle(const Program &p)
{
    WaitForInputIdle(p.process.hProcess, 2000);
    for (int i = 0; i < 4; i++) {
        DWORD_PTR ignored;
        SendMessageTimeoutW(p.dialog, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &ignored);
    }
    Sleep(30);
}

// Modifiers held for one key, as the program's thread sees them through
// GetKeyState: the probe shares that thread's keyboard state meanwhile.
struct Modifiers {
    bool shift = false, ctrl = false, alt = false;
};

class HeldModifiers {
public:
    HeldModifiers(const Program &p, Modifiers m) : p_(p), any_(m.shift || m.ctrl || m.alt)
    {
        if (!any_) return;
        AttachThreadInput(GetCurrentThreadId(), p.process.dwThreadId, TRUE);
        GetKeyboardState(state_);
        state_[VK_SHIFT] = m.shift ? 0x80 : 0;
        state_[VK_CONTROL] = m.ctrl ? 0x80 : 0;
        state_[VK_MENU] = m.alt ? 0x80 : 0;
        SetKeyboardState(state_);
    }
    ~HeldModifiers()
    {
        if (!any_) return;
        state_[VK_SHIFT] = state_[VK_CONTROL] = state_[VK_MENU] = 0;
        SetKeyboardState(state_);
        AttachThreadInput(GetCurrentThreadId(), p_.process.dwThreadId, FALSE);
    }

private:
    const Program &p_;
    bool any_;
    BYTE state_[256] = {};
};

HWND FocusOf(const Program &p)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(p.process.dwThreadId, &info);
    return info.hwndFocus ? info.hwndFocus : p.dialog;
}

// A key as the dialog's own message loop receives it: posted to the control
// that has the focus, so that the dialog manager sees Tab and Escape first;
// the loop's TranslateMessage makes the character a keyboard would give it.
// With Alt held it is a system key, as Windows sends it.
void Key(const Program &p, WORD vk, Modifiers m = {})
{
    HeldModifiers held(p, m);
    HWND target = FocusOf(p);
    const UINT scan = MapVirtualKeyW(vk, 0);
    const LPARAM alt = m.alt ? 1 << 29 : 0;
    PostMessageW(target, m.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1 | scan << 16 | alt);
    PostMessageW(target, m.alt ? WM_SYSKEYUP : WM_KEYUP, vk, 1 | scan << 16 | 0xC0000000u | alt);
    Settle(p);
}

void Type(const Program &p, char digit)
{
    PostMessageW(FocusOf(p), WM_CHAR, static_cast<WPARAM>(digit), 1);
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

// A key word of a session script (dialog_scenarios.h) as a virtual key and
// the modifiers held with it.
bool KeyOfWord(const std::string &word, WORD *vk, Modifiers *m)
{
    static const WORD kKeys[] = {VK_TAB, VK_BACK, VK_ESCAPE, VK_LEFT, VK_RIGHT, VK_UP,
                                 VK_DOWN, VK_HOME, VK_END, VK_DELETE, VK_INSERT};
    KeyWord k;
    if (!ParseKeyWord(word, &k)) return false;
    *vk = k.letter ? static_cast<WORD>(std::toupper(static_cast<unsigned char>(k.letter))) : kKeys[k.key];
    *m = Modifiers{k.shift, k.ctrl, k.alt};
    return true;
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
        WORD vk = 0;
        Modifiers m;
        if (KeyOfWord(word, &vk, &m)) Key(p, vk, m);
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

void EmptyTheClipboard()
{
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); i++) Sleep(20);
    EmptyClipboard();
    CloseClipboard();
}

// Alt+Backspace as a Windows edit control takes it: the undo, when there is
// one to make. Wine's edit control leaves the key out, so the probe asks and
// undoes with Ctrl+Z.
void AltBackspace(const Program &p)
{
    if (!SendMessageW(FocusOf(p), EM_CANUNDO, 0, 0)) {
        Settle(p);
        return;
    }
    Modifiers ctrl;
    ctrl.ctrl = true;
    Key(p, 'Z', ctrl);
}

// Puts `text` on the clipboard, as another program's copy would.
void SetClipboard(const std::string &text)
{
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); i++) Sleep(20);
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    auto *wide = static_cast<WCHAR *>(GlobalLock(memory));
    for (size_t i = 0; i <= text.size(); i++) wide[i] = static_cast<unsigned char>(text.c_str()[i]);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// The six fields, the focused field and its selection, as scenario_host
// --trace prints them.
std::string State(const Program &p)
{
    std::string line;
    for (int i = 0; i < 6; i++) line += Field(p, kFields[i]) + (i == 2 ? " / " : i == 5 ? "" : " ");
    HWND focus = FocusOf(p);
    DWORD start = 0, end = 0;
    int id = 0;
    if (focus != p.dialog && GetParent(focus) == p.dialog) {
        id = GetDlgCtrlID(focus);
        SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
    return line + " | focus " + std::to_string(id) + " sel " + std::to_string(start) + "-" + std::to_string(end);
}

// Runs one session script, printing the state after every word.
int Trace(const char *exe, const char *script)
{
    Program p;
    if (!Start(exe, &p)) {
        std::printf("the dialog did not appear\n");
        return 1;
    }
    EmptyTheClipboard();
    int n = 0;
    std::printf("%d: %s\n", n++, State(p).c_str());
    const char *s = script;
    while (*s && FindConverterDialog(p.process.dwProcessId)) {
        while (*s == ' ') s++;
        const char *end = std::strchr(s, ' ');
        const std::string word(s, end ? static_cast<size_t>(end - s) : std::strlen(s));
        s += word.size();
        if (word.empty()) break;
        WORD vk = 0;
        Modifiers m;
        if (word.rfind("clip=", 0) == 0) SetClipboard(word.substr(5));
        else if (word == "a-bs") AltBackspace(p);
        else if (KeyOfWord(word, &vk, &m)) Key(p, vk, m);
        else for (char c : word) Type(p, c);
        if (FindConverterDialog(p.process.dwProcessId)) std::printf("%d: %s\n", n++, State(p).c_str());
        else std::printf("%d: closed\n", n++);
        std::fflush(stdout);
    }
    if (WaitForSingleObject(p.process.hProcess, 100) != WAIT_OBJECT_0) {
        PostMessageW(p.dialog, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(p.process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(p.process.hProcess, 99);
    }
    CloseHandle(p.process.hProcess);
    CloseHandle(p.process.hThread);
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

// Each field's name as Windows's screen readers ask it (MSAA, oleacc's
// object for the field's window): "ID NAME", or "ID" for a field with none.
// (IAccessible's identifier is spelled out: the one mingw-w64's import
// library carries is not Windows's, and oleacc refuses it.)
int Names(const char *exe)
{
    static const GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    Program p;
    if (!Start(exe, &p)) return 1;
    CoInitialize(nullptr);
    for (int id : kFields) {
        std::string name;
        IAccessible *object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(GetDlgItem(p.dialog, id), static_cast<DWORD>(OBJID_CLIENT),
                                                 kIAccessible, reinterpret_cast<void **>(&object))) &&
            object) {
            VARIANT self;
            VariantInit(&self);
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR text = nullptr;
            if (object->get_accName(self, &text) == S_OK && text) {
                char utf8[256];
                const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
                if (n > 0) name = utf8;
                SysFreeString(text);
            }
            object->Release();
        }
        std::printf("%d%s%s\n", id, name.empty() ? "" : " ", name.c_str());
    }
    CoUninitialize();
    Key(p, VK_ESCAPE);
    if (WaitForSingleObject(p.process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(p.process.hProcess, 99);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // \n, as scenario_host writes
    if (argc < 2) {
        std::fprintf(stderr, "usage: probe RGBHSV.EXE [--startup | --names | --measure MEASURE.DLL OUT | --trace SCRIPT]\n");
        return 2;
    }
    if (argc == 5 && std::strcmp(argv[2], "--measure") == 0) return Measure(argv[1], argv[3], argv[4]);
    if (argc == 4 && std::strcmp(argv[2], "--trace") == 0) return Trace(argv[1], argv[3]);
    if (argc == 3 && std::strcmp(argv[2], "--names") == 0) return Names(argv[1]);
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
