// What the dialog manager's two rooms share: a running dialog's state, kept
// with its window, and the functions each asks of the other. dialog.cpp
// builds and lays out a dialog; modal_loop.cpp runs it, turning the
// screen's input into the dialog's messages. Internal to the Windows
// emulation.
#ifndef RGBHSV_PLATFORM_WIN32_DIALOG_MANAGER_H
#define RGBHSV_PLATFORM_WIN32_DIALOG_MANAGER_H

#include <windows.h>

#include "resource_reader.h"
#include "window.h"

namespace platform {

struct DialogState : WindowExtra {
    DLGPROC proc = nullptr;
    INT_PTR result = 0;
    bool ended = false;
    HICON icons[2] = {nullptr, nullptr};
    HWND saved_focus = nullptr;   // the control that had the focus when the dialog was deactivated
    DialogTemplateRecord layout;  // the template, to lay the dialog out again at another density
};

// The dialog's state; null for a window that is not a live dialog.
DialogState *StateOf(HWND dialog);
// The control of `dialog` that has the focus, or null where the focus is
// elsewhere (or nowhere).
HWND FocusIn(HWND dialog);

// dialog.cpp: the dialog centred on the screen's device; laid out afresh
// at the device's new density.
void CentreOnScreen(HWND dialog);
void Rescale(HWND dialog);

// modal_loop.cpp: the next (or previous) control that Tab reaches from
// `from`, wrapping; the focus as Tab gives it (an edit field's text
// selected); a button's command sent as its click sends it; the loop.
HWND NextTabItem(HWND dialog, HWND from, bool backwards);
void FocusItem(HWND item);
void SendCommand(HWND dialog, int id);
INT_PTR RunModalLoop(HWND dialog);

}  // namespace platform

#endif
