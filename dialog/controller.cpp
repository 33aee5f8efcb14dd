/*
 * The converter dialog's procedure. It keeps the RGB row and the HSV row in
 * step: whenever a field's text changes it converts the row that changed and
 * writes the other, with SyncGuard raised so that those writes do not
 * convert back, then has the swatch repaint.
 */
#include <windows.h>

#include "dialog/controller.h"
#include "engine/conversion.h"
#include "resources/resource.h"

int SyncGuard;

static void SubclassSwatch(HWND dialog)
{
    HWND swatch = GetDlgItem(dialog, IDC_SWATCH);
#ifdef _WIN64
    /* A procedure does not fit in the 32 bits SetWindowLongW stores. */
    PreviousSwatchProc = (WNDPROC)SetWindowLongPtrW(swatch, GWLP_WNDPROC, (LONG_PTR)SwatchProc);
#else
    PreviousSwatchProc = (WNDPROC)SetWindowLongW(swatch, GWL_WNDPROC, (LONG)SwatchProc);
#endif
}

static void OnInitDialog(HWND dialog)
{
    static const int Fields[] = {IDC_RED, IDC_GREEN, IDC_BLUE, IDC_HUE, IDC_SAT, IDC_VAL};
    /* Each write converts as a user's edit would; the last leaves white. */
    static const UINT Start[] = {255, 255, 255, 0, 0, 255};
    HICON icon;
    int i;

    SubclassSwatch(dialog);
    for (i = 0; i < 6; i++)
        SendDlgItemMessageW(dialog, Fields[i], EM_LIMITTEXT, 3, 0);
    for (i = 0; i < 6; i++)
        SetDlgItemInt(dialog, Fields[i], Start[i], FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_SELECT), FALSE);

    icon = LoadIconW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDI_APP));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, (LPARAM)icon);
}

/* A number above 255 is refused with a beep and replaced by 255. The write
 * runs the whole change handler again, nested, before this run goes on. */
static void CheckRange(HWND dialog, int id, HWND control)
{
    BOOL translated;
    UINT value = GetDlgItemInt(dialog, id, &translated, FALSE);

    if (!translated)
        value = 0;
    if (value > 255) {
        MessageBeep(MB_ICONEXCLAMATION);
        SetDlgItemInt(dialog, GetDlgCtrlID(control), 255, FALSE);
    }
}

static void OnRgbChanged(HWND dialog, int id, HWND control)
{
    int hue, saturation, value;

    CheckRange(dialog, id, control);
    SwatchColour.Red = (int)GetDlgItemInt(dialog, IDC_RED, NULL, FALSE);
    SwatchColour.Green = (int)GetDlgItemInt(dialog, IDC_GREEN, NULL, FALSE);
    SwatchColour.Blue = (int)GetDlgItemInt(dialog, IDC_BLUE, NULL, FALSE);
    RgbToHsv(SwatchColour.Red, SwatchColour.Green, SwatchColour.Blue, &hue, &saturation, &value);

    SyncGuard = 1;
    SetDlgItemInt(dialog, IDC_HUE, (UINT)hue, FALSE);
    SetDlgItemInt(dialog, IDC_SAT, (UINT)saturation, FALSE);
    SetDlgItemInt(dialog, IDC_VAL, (UINT)value, FALSE);
    InvalidateRect(GetDlgItem(dialog, IDC_SWATCH), NULL, TRUE);
    SyncGuard = 0;
}

static void OnHsvChanged(HWND dialog, int id, HWND control)
{
    int hue, saturation, value;

    CheckRange(dialog, id, control);
    hue = (int)GetDlgItemInt(dialog, IDC_HUE, NULL, FALSE);
    saturation = (int)GetDlgItemInt(dialog, IDC_SAT, NULL, FALSE);
    value = (int)GetDlgItemInt(dialog, IDC_VAL, NULL, FALSE);
    HsvToRgb(hue, saturation, value, &SwatchColour.Red, &SwatchColour.Green, &SwatchColour.Blue);

    SyncGuard = 1;
    SetDlgItemInt(dialog, IDC_RED, (UINT)SwatchColour.Red, FALSE);
    SetDlgItemInt(dialog, IDC_GREEN, (UINT)SwatchColour.Green, FALSE);
    SetDlgItemInt(dialog, IDC_BLUE, (UINT)SwatchColour.Blue, FALSE);
    InvalidateRect(GetDlgItem(dialog, IDC_SWATCH), NULL, TRUE);
    SyncGuard = 0;
}

static void OnCommand(HWND dialog, int id, int code, HWND control)
{
    if (id == IDCANCEL) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    if (SyncGuard || code != EN_CHANGE)
        return;
    switch (id) {
    case IDC_RED:
    case IDC_GREEN:
    case IDC_BLUE:
        OnRgbChanged(dialog, id, control);
        break;
    case IDC_HUE:
    case IDC_SAT:
    case IDC_VAL:
        OnHsvChanged(dialog, id, control);
        break;
    }
}

INT_PTR CALLBACK ConverterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return (INT_PTR)TRUE;

    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam), (HWND)lParam);
        return (INT_PTR)FALSE;

    case WM_CLOSE:
    case WM_DESTROY:
        EndDialog(dialog, 0);
        return (INT_PTR)TRUE;
    }
    return (INT_PTR)FALSE;
}
