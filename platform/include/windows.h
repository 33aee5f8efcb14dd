/*
 * The subset of the Windows API that rgbhsv's dialog program uses, with the
 * names, values and meanings Windows gives them, implemented by platform/.
 * Resource scripts see only the constants (RC_INVOKED), as with the real
 * header.
 */
#ifndef RGBHSV_PLATFORM_WINDOWS_H
#define RGBHSV_PLATFORM_WINDOWS_H

/* Window styles */
#define WS_CHILD            0x40000000L
#define WS_VISIBLE          0x10000000L
#define WS_DISABLED         0x08000000L
#define WS_CAPTION          0x00C00000L
#define WS_BORDER           0x00800000L
#define WS_SYSMENU          0x00080000L
#define WS_GROUP            0x00020000L
#define WS_TABSTOP          0x00010000L
#define WS_EX_CLIENTEDGE    0x00000200L

/* Dialog styles */
#define DS_SETFONT          0x40L
#define DS_CENTER           0x0800L

/* Control styles */
#define BS_PUSHBUTTON       0x00000000L
#define SS_LEFT             0x00000000L
#define SS_NOPREFIX         0x00000080L
#define SS_BLACKRECT        0x00000004L
#define SS_TYPEMASK         0x0000001FL
#define ES_AUTOHSCROLL      0x0080L
#define ES_NUMBER           0x2000L

/* Languages */
#define LANG_NEUTRAL        0x00
#define SUBLANG_NEUTRAL     0x00

#define IDOK                1
#define IDCANCEL            2

#ifndef RC_INVOKED

#include <stddef.h>
#include <stdint.h>

#if UINTPTR_MAX > 0xFFFFFFFFu && !defined(_WIN64)
/* Pointers are 64 bits wide: this is a 64-bit Windows as far as programs
 * can tell, and the 32-bit window-long forms cannot hold a procedure. */
#define _WIN64 1
#endif

#define WINAPI
#define CALLBACK

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#ifndef NULL
#define NULL 0
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int16_t SHORT;
typedef unsigned int UINT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef char16_t WCHAR;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;
typedef char *LPSTR;
typedef void *LPVOID;

typedef struct HWND__ *HWND;
typedef struct HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HRSRC__ *HRSRC;
typedef void *HGLOBAL;
typedef struct HICON__ *HICON;
typedef struct HDC__ *HDC;
typedef struct HGDIOBJ__ *HGDIOBJ;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HFONT;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *LPSIZE;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

typedef struct tagTEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
} TEXTMETRICW, *LPTEXTMETRICW;
typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
} DLGTEMPLATE;
typedef const DLGTEMPLATE *LPCDLGTEMPLATEW;

typedef LRESULT (CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL (CALLBACK *DRAWSTATEPROC)(HDC, LPARAM, WPARAM, int, int);
typedef INT_PTR (CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define LOWORD(l)           ((WORD)(((ULONG_PTR)(l)) & 0xFFFF))
#define HIWORD(l)           ((WORD)((((ULONG_PTR)(l)) >> 16) & 0xFFFF))
#define MAKEWPARAM(l, h)    ((WPARAM)(DWORD)(((WORD)(l)) | ((DWORD)(WORD)(h)) << 16))
#define MAKELPARAM(l, h)    ((LPARAM)(DWORD)(((WORD)(l)) | ((DWORD)(WORD)(h)) << 16))
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r)   ((((ULONG_PTR)(r)) >> 16) == 0)
#define RGB(r, g, b)        ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))

#define RT_DIALOG           MAKEINTRESOURCEW(5)
#define RT_GROUP_ICON       MAKEINTRESOURCEW(14)

/* Messages */
#define WM_CREATE           0x0001
#define WM_DESTROY          0x0002
#define WM_ACTIVATE         0x0006
#define WM_SETFOCUS         0x0007
#define WM_KILLFOCUS        0x0008
#define WM_ENABLE           0x000A
#define WM_SETTEXT          0x000C
#define WM_GETTEXT          0x000D
#define WM_GETTEXTLENGTH    0x000E
#define WM_PAINT            0x000F
#define WM_CLOSE            0x0010
#define WM_ERASEBKGND       0x0014
#define WM_SETFONT          0x0030
#define WM_GETFONT          0x0031
#define WM_SETICON          0x0080
#define WM_NCPAINT          0x0085
#define WM_GETDLGCODE       0x0087
#define WM_KEYDOWN          0x0100
#define WM_CHAR             0x0102
#define WM_SYSKEYDOWN       0x0104
#define WM_SYSCHAR          0x0106
#define WM_INITDIALOG       0x0110
#define WM_COMMAND          0x0111
#define WM_SYSCOMMAND       0x0112
#define WM_MOUSEMOVE        0x0200
#define WM_LBUTTONDOWN      0x0201
#define WM_LBUTTONUP        0x0202
#define WM_LBUTTONDBLCLK    0x0203
#define WM_CUT              0x0300
#define WM_COPY             0x0301
#define WM_PASTE            0x0302
#define WM_CLEAR            0x0303
#define WM_UNDO             0x0304

#define EM_GETSEL           0x00B0
#define EM_SETSEL           0x00B1
#define EM_LIMITTEXT        0x00C5
#define EM_CANUNDO          0x00C6
#define EM_UNDO             0x00C7
#define EM_EMPTYUNDOBUFFER  0x00CD
#define EN_SETFOCUS         0x0100
#define EN_KILLFOCUS        0x0200
#define EN_CHANGE           0x0300
#define EN_MAXTEXT          0x0501
#define BN_CLICKED          0

#define DLGC_WANTARROWS     0x0001
#define DLGC_WANTTAB        0x0002
#define DLGC_WANTCHARS      0x0080
#define DLGC_HASSETSEL      0x0008
#define DLGC_BUTTON         0x2000
#define DLGC_STATIC         0x0100

#define ICON_SMALL          0
#define ICON_BIG            1

#define MB_ICONEXCLAMATION  0x00000030L

#define MK_LBUTTON          0x0001
#define MK_SHIFT            0x0004
#define MK_CONTROL          0x0008

#define WA_INACTIVE         0
#define WA_ACTIVE           1
#define SC_CLOSE            0xF060

/* Virtual keys */
#define VK_BACK             0x08
#define VK_TAB              0x09
#define VK_RETURN           0x0D
#define VK_SHIFT            0x10
#define VK_CONTROL          0x11
#define VK_MENU             0x12
#define VK_ESCAPE           0x1B
#define VK_END              0x23
#define VK_HOME             0x24
#define VK_LEFT             0x25
#define VK_UP               0x26
#define VK_RIGHT            0x27
#define VK_DOWN             0x28
#define VK_INSERT           0x2D
#define VK_DELETE           0x2E
#define VK_F4               0x73

#ifndef _WIN64
#define GWL_WNDPROC         (-4)
#endif
#define GWLP_WNDPROC        (-4)

/* Drawing: the classic scheme's system colours, stock objects, modes and
 * the flags of the text, edge and frame-control functions. */
#define COLOR_ACTIVECAPTION 2
#define COLOR_WINDOW        5
#define COLOR_WINDOWFRAME   6
#define COLOR_WINDOWTEXT    8
#define COLOR_CAPTIONTEXT   9
#define COLOR_HIGHLIGHT     13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE       15
#define COLOR_BTNSHADOW     16
#define COLOR_GRAYTEXT      17
#define COLOR_BTNTEXT       18
#define COLOR_BTNHIGHLIGHT  20
#define COLOR_3DDKSHADOW    21
#define COLOR_3DLIGHT       22
#define DEFAULT_GUI_FONT    17
#define TRANSPARENT         1
#define OPAQUE              2
#define ETO_OPAQUE          0x0002
#define ETO_CLIPPED         0x0004
#define DT_LEFT             0x0000
#define DT_CENTER           0x0001
#define DT_VCENTER          0x0004
#define DT_WORDBREAK        0x0010
#define DT_SINGLELINE       0x0020
#define DT_NOCLIP           0x0100
#define BDR_RAISEDOUTER     0x0001
#define BDR_SUNKENOUTER     0x0002
#define BDR_RAISEDINNER     0x0004
#define BDR_SUNKENINNER     0x0008
#define EDGE_RAISED         (BDR_RAISEDOUTER | BDR_RAISEDINNER)
#define EDGE_SUNKEN         (BDR_SUNKENOUTER | BDR_SUNKENINNER)
#define BF_RECT             0x000F
#define BF_ADJUST           0x2000
#define DFC_CAPTION         1
#define DFC_BUTTON          4
#define DFCS_CAPTIONCLOSE   0x0000
#define DFCS_BUTTONPUSH     0x0010
#define DFCS_INACTIVE       0x0100
#define DFCS_PUSHED         0x0200
#define DST_TEXT            0x0001
#define DSS_DISABLED        0x0020
#define SM_CXEDGE           45
#define SM_CYEDGE           46

#define SW_SHOWNORMAL       1

#ifdef __cplusplus
extern "C" {
#endif

/* Resources and modules */
HMODULE WINAPI GetModuleHandleW(LPCWSTR name);
HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name);

/* Dialogs */
INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialog_template, HWND owner,
                                       DLGPROC dialog_proc, LPARAM init_param);
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
HWND WINAPI GetDlgItem(HWND dialog, int id);
int WINAPI GetDlgCtrlID(HWND window);
UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL is_signed);
BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed);
LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam);

/* Windows and messages */
LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
#ifndef _WIN64
LONG WINAPI SetWindowLongW(HWND window, int index, LONG value);
#endif
LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
BOOL WINAPI EnableWindow(HWND window, BOOL enable);
BOOL WINAPI IsWindowEnabled(HWND window);
HWND WINAPI SetFocus(HWND window);
SHORT WINAPI GetKeyState(int key);
HWND WINAPI GetFocus(void);
HWND WINAPI SetCapture(HWND window);
BOOL WINAPI ReleaseCapture(void);
HWND WINAPI GetCapture(void);
int WINAPI GetWindowTextW(HWND window, LPWSTR text, int size);
BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text);
BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect);
int WINAPI MulDiv(int number, int numerator, int denominator);
BOOL WINAPI GetClientRect(HWND window, LPRECT rect);

/* Painting */
BOOL WINAPI InvalidateRect(HWND window, const RECT *rect, BOOL erase);
HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT *paint);
HDC WINAPI GetWindowDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
HBRUSH WINAPI CreateSolidBrush(COLORREF colour);
int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush);
BOOL WINAPI DeleteObject(HGDIOBJ object);
HGDIOBJ WINAPI GetStockObject(int object);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
DWORD WINAPI GetSysColor(int index);
HBRUSH WINAPI GetSysColorBrush(int index);
int WINAPI GetSystemMetrics(int index);
COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour);
COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour);
int WINAPI SetBkMode(HDC dc, int mode);
BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT *rect, LPCWSTR text, UINT count,
                        const int *dx);
int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics);
BOOL WINAPI DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags);
BOOL WINAPI DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state);
BOOL WINAPI DrawFocusRect(HDC dc, const RECT *rect);
BOOL WINAPI DrawStateW(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM length, int x, int y, int cx,
                       int cy, UINT flags);
BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy);

/* The caret: one for the whole system, owned by a window */
BOOL WINAPI CreateCaret(HWND window, HGDIOBJ bitmap, int width, int height);
BOOL WINAPI DestroyCaret(void);
BOOL WINAPI SetCaretPos(int x, int y);
BOOL WINAPI ShowCaret(HWND window);
BOOL WINAPI HideCaret(HWND window);

/* Sound */
BOOL WINAPI MessageBeep(UINT type);

/* The program's entry point, which the platform's start-up code calls. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif
