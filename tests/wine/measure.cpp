// Loaded into the running converter by the probe (probe --measure): from
// inside the dialog's own process, where its fonts are, it measures every
// static and button text with DrawTextW(DT_CALCRECT) in the control's font
// against the control's client rectangle, and writes one line a control,
// then the dialog's size and the screen's DPI, to the file named by
// RGBHSV_MEASURE_OUT.
#include <windows.h>

#include <cstdio>
#include <string>

#include "find_dialog.h"

namespace {

std::string Narrow(const WCHAR *text)
{
    std::string out;
    for (; *text; text++) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

DWORD WINAPI Measure(void *)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("RGBHSV_MEASURE_OUT", path, sizeof path)) return 1;
    const std::string partial = std::string(path) + ".part";
    FILE *out = std::fopen(partial.c_str(), "wb");
    if (!out) return 1;
    HWND dialog = FindConverterDialog(GetCurrentProcessId());
    if (!dialog) {
        std::fprintf(out, "no dialog\n");
    } else {
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            WCHAR kind[32] = {}, text[128] = {};
            GetClassNameW(control, kind, 32);
            GetWindowTextW(control, text, 128);
            const bool button = lstrcmpiW(kind, L"Button") == 0;
            // Texts shown: a field's hidden name is for screen readers.
            if (!text[0] || (!button && lstrcmpiW(kind, L"Static") != 0) || !IsWindowVisible(control)) continue;
            RECT client;
            GetClientRect(control, &client);
            HDC dc = GetDC(control);
            HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
            RECT needed = {0, 0, client.right, 0};
            DrawTextW(dc, text, -1, &needed, DT_CALCRECT | (button ? DT_SINGLELINE : DT_WORDBREAK));
            SelectObject(dc, previous);
            ReleaseDC(control, dc);
            // A push button's face loses its 3-D edge on each side.
            const LONG room = client.right - (button ? 2 * GetSystemMetrics(SM_CXEDGE) : 0);
            const bool fits = needed.right <= room && needed.bottom <= client.bottom;
            std::fprintf(out, "%s \"%s\": needs %ldx%ld, has %ldx%ld\n", fits ? "whole" : "CUT", Narrow(text).c_str(),
                         needed.right, needed.bottom, room, client.bottom);
        }
        RECT r;
        GetWindowRect(dialog, &r);
        HDC screen = GetDC(nullptr);
        std::fprintf(out, "dialog %ldx%ld at %d dpi\n", r.right - r.left, r.bottom - r.top,
                     GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    }
    std::fclose(out);
    MoveFileA(partial.c_str(), path);
    return 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    // The measuring waits for the loader to finish with this library.
    if (reason == DLL_PROCESS_ATTACH) CloseHandle(CreateThread(nullptr, 0, Measure, nullptr, 0, nullptr));
    return TRUE;
}
