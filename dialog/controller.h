/*
 * The converter dialog's procedure and the colour swatch's procedure, and
 * the module-level values they share.
 */
#ifndef RGBHSV_DIALOG_CONTROLLER_H
#define RGBHSV_DIALOG_CONTROLLER_H

#include <windows.h>

/* The colour the swatch paints; only the low 8 bits of each are used. */
typedef struct SWATCHCOLOUR {
    int Red;
    int Green;
    int Blue;
} SWATCHCOLOUR;

/* Non-zero while the controller writes a row itself, so that the change
 * notifications of those writes do not convert back. */
extern int SyncGuard;
extern SWATCHCOLOUR SwatchColour;
/* The static control's own procedure, kept when the swatch is subclassed. */
extern WNDPROC PreviousSwatchProc;

INT_PTR CALLBACK ConverterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SwatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
