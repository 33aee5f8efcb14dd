// The one caret of the window system, as Windows keeps it: a window makes
// it when it takes the focus and destroys it when it loses it, places it in
// its client area and shows or hides it, counting; the modal loop puts it
// on the screen's device when idle.
#include "gdi.h"
#include "system.h"
#include "window.h"

namespace platform {

void ShowCaretOnDevice()
{
    const WindowSystem &system = System();
    const SystemCaret &caret = system.caret;
    const bool visible = IsLiveWindow(caret.owner) && caret.hidden == 0 && (caret.owner->style & WS_VISIBLE);
    Box box{};
    if (visible) {
        const RECT client = ClientRectOnScreen(caret.owner);
        box = Box{static_cast<int>(client.left) + caret.x, static_cast<int>(client.top) + caret.y, 0, 0};
        box.right = box.left + caret.width;
        box.bottom = box.top + caret.height;
    }
    Drawing().Caret(visible, box);
}

}  // namespace platform

using namespace platform;

extern "C" {

// The caret is the system's one: a window makes it when it takes the focus
// and destroys it when it loses it; it starts hidden.
BOOL WINAPI CreateCaret(HWND window, HGDIOBJ, int width, int height)
{
    if (!IsLiveWindow(window)) return FALSE;
    System().caret = SystemCaret{window, width, height, 0, 0, 1};
    return TRUE;
}

BOOL WINAPI DestroyCaret(void)
{
    if (!System().caret.owner) return FALSE;
    System().caret = SystemCaret{};
    return TRUE;
}

BOOL WINAPI SetCaretPos(int x, int y)
{
    SystemCaret &caret = System().caret;
    if (!caret.owner) return FALSE;
    caret.x = x;
    caret.y = y;
    return TRUE;
}

BOOL WINAPI ShowCaret(HWND window)
{
    SystemCaret &caret = System().caret;
    if (!caret.owner || (window && window != caret.owner) || caret.hidden == 0) return FALSE;
    caret.hidden--;
    return TRUE;
}

BOOL WINAPI HideCaret(HWND window)
{
    SystemCaret &caret = System().caret;
    if (!caret.owner || (window && window != caret.owner)) return FALSE;
    caret.hidden++;
    return TRUE;
}

}  // extern "C"
