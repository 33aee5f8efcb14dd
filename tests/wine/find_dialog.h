// The converter's dialog among the windows of the desktop, for the probe
// and for the library it loads into the program.
#ifndef RGBHSV_TESTS_WINE_FIND_DIALOG_H
#define RGBHSV_TESTS_WINE_FIND_DIALOG_H

#include <windows.h>

// The visible converter dialog of the given process, or null. Another copy
// still running must not be mistaken for this one.
inline HWND FindConverterDialog(DWORD process_id)
{
    struct Search {
        DWORD process_id;
        HWND found;
    } search{process_id, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto *s = reinterpret_cast<Search *>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            WCHAR caption[32] = {};
            GetWindowTextW(window, caption, 32);
            if (owner == s->process_id && IsWindowVisible(window) && lstrcmpW(caption, L"RGB <-> HSV") == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

#endif
