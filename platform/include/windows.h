/*
 * The subset of the Windows API that rgbhsv's dialog program uses, with the
 * names, values and meanings Windows gives them, implemented by platform/.
 * Resource scripts see only the constants (RC_INVOKED), as with the real
 * header.
 */
#ifndef RGBHSV_PLATFORM_WINDOWS_H
#define RGBHSV_PLATFORM_WINDOWS_H

/* Window styles */
#define WS_OVERLAPPED       0x00000000L
#define WS_POPUP            0x80000000L
#define WS_CHILD            0x40000000L
#define WS_VISIBLE          0x10000000L
#define WS_DISABLED         0x08000000L
#define WS_CAPTION          0x00C00000L
#define WS_BORDER           0x00800000L
#define WS_DLGFRAME         0x00400000L
#define WS_SYSMENU          0x00080000L
#define WS_GROUP            0x00020000L
#define WS_TABSTOP          0x00010000L

/* Dialog styles */
#define DS_SETFONT          0x40L
#define DS_MODALFRAME       0x80L
#define DS_CENTER           0x0800L

/* Control styles */
#define BS_PUSHBUTTON       0x00000000L
#define BS_DEFPUSHBUTTON    0x00000001L
#define SS_LEFT             0x00000000L
#define SS_BLACKRECT        0x00000004L
#define ES_LEFT             0x0000L
#define ES_AUTOHSCROLL      0x0080L
#define ES_NUMBER           0x2000L

/* Languages */
#define LANG_NEUTRAL        0x00
#define SUBLANG_NEUTRAL     0x00

#define IDOK                1
#define IDCANCEL            2

#ifndef RC_INVOKED
#endif /* RC_INVOKED */

#endif
