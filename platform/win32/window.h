// The window record behind every HWND, and what the Windows emulation's
// parts share about windows: creation, the paint pass, colours. Internal to
// the Windows emulation; drawing is in gdi.h.
#ifndef RGBHSV_PLATFORM_WINDOW_H
#define RGBHSV_PLATFORM_WINDOW_H

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device.h"
#include "screen.h"

namespace platform {

enum class WindowKind { kDialog, kButton, kEdit, kStatic };

// What a window class keeps with each of its windows, as Windows keeps a
// class's extra bytes: an edit field's caret, a dialog's procedure.
struct WindowExtra {
    virtual ~WindowExtra() = default;
};

}  // namespace platform

struct HWND__ {
    platform::WindowKind kind = platform::WindowKind::kStatic;
    WNDPROC proc = nullptr;      // the current procedure, subclassed or not
    HWND parent = nullptr;
    std::vector<HWND> children;  // creation order, which is also tab order
    int id = 0;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect{};                 // whole window, in the screen's units
    RECT client_inset{};         // its frame, caption or edge round the client area, each side
    std::u16string text;
    bool needs_paint = false;
    bool needs_erase = false;
    std::unique_ptr<platform::WindowExtra> state;
};

namespace platform {

// Creates a window of `kind` with its class procedure and sends WM_CREATE.
HWND CreateWindowRecord(WindowKind kind, HWND parent, int id, DWORD style, DWORD ex_style, const RECT &rect,
                        std::u16string text);
// Sends WM_DESTROY to the window and its children, then frees them.
void DestroyWindowRecord(HWND window);
bool IsLiveWindow(HWND window);

// What a window's frame, caption or client edge takes from each side of
// it, on the screen's device.
RECT NonClientInset(WindowKind kind, DWORD style, DWORD ex_style);
// The client area on the screen: the window less its frame and caption, or
// its client edge.
RECT ClientRectOnScreen(HWND window);
bool IsEnabledAndVisible(HWND window);
// A rectangle as the device takes it.
Box ToBox(const RECT &r);
// A static that is a picture (SS_BLACKRECT), as the swatch is.
bool IsPicture(HWND window);
// What a window's client area is part of, for a device that sets it apart
// (device.h): an edit field while it can be typed into; a picture, whose
// colours are content, not decoration.
Role RoleOf(HWND window);

// Sends WM_COMMAND with the control's identifier and `code` to its parent.
// The one way controls notify their dialog.
void NotifyParent(HWND control, WORD code);

// Paints every window that needs it, in z order: WM_ERASEBKGND and WM_PAINT;
// then tells the device what each visible window's parts are (RoleOf, and
// a caption bar).
void PaintPending();
// Moves a window and everything in it by (dx, dy).
void MoveWindowTree(HWND window, int dx, int dy);

// WM_NCPAINT's default (nonclient.cpp): a dialog's frame and caption, a
// control's client edge.
void DrawNonClient(HWND window);

// A dialog's caption bar and the close box in it, on the screen.
RECT CaptionOf(HWND dialog);
RECT CloseBoxOf(HWND dialog);

// The controls' window procedures.
LRESULT CALLBACK EditWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ButtonWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DialogWindowProc(HWND, UINT, WPARAM, LPARAM);

}  // namespace platform

#endif
