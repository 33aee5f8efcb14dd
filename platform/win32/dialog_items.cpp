// The dialog item functions: finding a dialog's controls by identifier, and
// their text as numbers, as the dialog manager's callers use them. Leaves
// out: GetDlgItemText and the rest that the program does not call.
#include <windows.h>

#include <climits>
#include <cstdio>

#include "system.h"
#include "window.h"

using namespace platform;

extern "C" {

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    if (!IsLiveWindow(dialog)) return nullptr;
    for (HWND child : dialog->children)
        if (child->id == (id & 0xFFFF)) return child;
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND window)
{
    return IsLiveWindow(window) && window->parent ? window->id : 0;
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL is_signed)
{
    if (translated) *translated = FALSE;
    HWND item = GetDlgItem(dialog, id);
    if (!item) return 0;
    const std::u16string &text = item->text;
    size_t i = 0;
    while (i < text.size() && text[i] == u' ') i++;
    bool negative = false;
    if (is_signed && i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    const size_t digits_start = i;
    unsigned long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; i++) {
        value = value * 10 + static_cast<unsigned>(text[i] - u'0');
        if (value > (is_signed ? 0x80000000ull : 0xFFFFFFFFull)) return 0;
    }
    // The first character that is not a digit ends the number, as Windows
    // documents it: "12a" reads as 12.
    if (i == digits_start) return 0;
    if (is_signed && !negative && value > INT_MAX) return 0;
    if (translated) *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed)
{
    char digits[16];
    if (is_signed)
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    else
        std::snprintf(digits, sizeof digits, "%u", value);
    const std::u16string text = Utf16FromUtf8(digits);
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextW(item, text.c_str()) : FALSE;
}

LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageW(item, message, wparam, lparam) : 0;
}

}  // extern "C"
