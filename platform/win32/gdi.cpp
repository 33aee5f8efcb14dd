// GDI proper, onto the screen's device: paint contexts from BeginPaint and
// window contexts for the non-client area, the classic scheme's system
// colours and their brushes, solid brushes, the dialog font and the
// caption's bold one, rectangles filled, and text out and measured. Every
// object a program makes is counted until it is released, so a test can
// show that each paint frees what it made. User32's drawing on a DC is in
// user_draw.cpp, the caret in caret.cpp.
// Leaves out: pens, bitmaps, regions, mapping modes, fonts other than the
// two, and clipping other than the DC's window or client area.
#include "gdi.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform.h"
#include "system.h"
#include "window.h"

namespace platform {
namespace {

// The classic scheme, by COLOR_ index.
Colour SystemColour(int index)
{
    switch (index) {
    case COLOR_ACTIVECAPTION: return kColourCaption;
    case COLOR_WINDOW: return kColourWindow;
    case COLOR_WINDOWFRAME: return kColourFrame;
    case COLOR_WINDOWTEXT: return kColourText;
    case COLOR_CAPTIONTEXT: return kColourCaptionText;
    case COLOR_HIGHLIGHT: return kColourHighlight;
    case COLOR_HIGHLIGHTTEXT: return kColourHighlightText;
    case COLOR_BTNFACE: return kColourFace;
    case COLOR_BTNSHADOW: return kColourShadow;
    case COLOR_GRAYTEXT: return kColourGreyText;
    case COLOR_BTNTEXT: return kColourText;
    case COLOR_BTNHIGHLIGHT: return kColourLightest;
    case COLOR_3DDKSHADOW: return kColourDarkShadow;
    case COLOR_3DLIGHT: return kColourLight;
    default: return kColourFace;
    }
}

StockObjects &Stock()
{
    return System().stock;
}

bool IsBrush(HGDIOBJ object)
{
    return object && (Stock().Owns(object) || System().brushes.count(object)) && object->kind == HGDIOBJ__::Kind::kBrush;
}

HDC MakeDC(HWND window, bool whole_window)
{
    HDC dc = new HDC__{window, whole_window, 0x000000, 0xFFFFFF, OPAQUE, &Stock().dialog_font};
    System().device_contexts.insert(dc);
    return dc;
}

bool FreeDC(HDC dc)
{
    if (!dc || System().device_contexts.erase(dc) == 0) return false;
    delete dc;
    return true;
}

}  // namespace

StockObjects::StockObjects()
{
    for (int i = 0; i < kSystemColours; i++) brushes[i] = HGDIOBJ__{HGDIOBJ__::Kind::kBrush, SystemColour(i), false};
}

bool IsLiveDC(HDC dc)
{
    return dc && System().device_contexts.count(dc) && IsLiveWindow(dc->window);
}

// Where the DC's (0, 0) is on the device, and what it may draw on.
Box Area(HDC dc)
{
    return ToBox(dc->whole_window ? dc->window->rect : ClientRectOnScreen(dc->window));
}

Box OnDevice(HDC dc, const RECT &r)
{
    const Box area = Area(dc);
    return Box{area.left + static_cast<int>(r.left), area.top + static_cast<int>(r.top),
               area.left + static_cast<int>(r.right), area.top + static_cast<int>(r.bottom)};
}

bool Bold(HDC dc)
{
    return dc->font && dc->font->bold;
}

TextLook LookOf(HDC dc)
{
    TextLook look;
    look.fg = dc->text;
    look.bg = dc->background;
    look.opaque = dc->background_mode == OPAQUE;
    look.bold = Bold(dc);
    look.selected = dc->selected;
    return look;
}

HFONT CaptionFont()
{
    return &Stock().caption_font;
}

int LiveDrawingObjects()
{
    return static_cast<int>(System().device_contexts.size() + System().brushes.size());
}

void FreeDrawingObjects()
{
    for (HDC dc : System().device_contexts) delete dc;
    for (HGDIOBJ brush : System().brushes) delete brush;
    System().device_contexts.clear();
    System().brushes.clear();
}

}  // namespace platform

using namespace platform;

extern "C" {

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    if (!IsLiveWindow(window) || !paint) return nullptr;
    HDC dc = MakeDC(window, false);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    GetClientRect(window, &paint->rcPaint);
    const bool erase = window->needs_erase;
    window->needs_paint = false;
    window->needs_erase = false;
    if (erase) paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT *paint)
{
    return paint && FreeDC(paint->hdc) ? TRUE : FALSE;
}

HDC WINAPI GetWindowDC(HWND window)
{
    return IsLiveWindow(window) ? MakeDC(window, true) : nullptr;
}

int WINAPI ReleaseDC(HWND, HDC dc)
{
    return FreeDC(dc) ? 1 : 0;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour)
{
    HGDIOBJ brush = new HGDIOBJ__{HGDIOBJ__::Kind::kBrush, colour & 0x00FFFFFFu};
    System().brushes.insert(brush);
    return brush;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    if (System().brushes.erase(object) == 0) return FALSE;
    delete object;
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int object)
{
    return object == DEFAULT_GUI_FONT ? &Stock().dialog_font : nullptr;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object)
{
    if (!IsLiveDC(dc) || !object || object->kind != HGDIOBJ__::Kind::kFont || !Stock().Owns(object)) return nullptr;
    const HGDIOBJ previous = dc->font;
    dc->font = object;
    return previous;
}

DWORD WINAPI GetSysColor(int index)
{
    return SystemColour(index);
}

HBRUSH WINAPI GetSysColorBrush(int index)
{
    return index >= 0 && index < kSystemColours ? &Stock().brushes[index] : nullptr;
}

int WINAPI GetSystemMetrics(int index)
{
    return index == SM_CXEDGE || index == SM_CYEDGE ? Drawing().Metrics().edge : 0;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour)
{
    if (!IsLiveDC(dc)) return 0xFFFFFFFFu;
    return std::exchange(dc->text, colour & 0x00FFFFFFu);
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour)
{
    if (!IsLiveDC(dc)) return 0xFFFFFFFFu;
    return std::exchange(dc->background, colour & 0x00FFFFFFu);
}

int WINAPI SetBkMode(HDC dc, int mode)
{
    if (!IsLiveDC(dc) || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    return std::exchange(dc->background_mode, mode);
}

int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    if (!IsLiveDC(dc) || !IsBrush(brush) || !rect) return 0;
    Drawing().Fill(OnDevice(dc, *rect).Intersect(Area(dc)), brush->colour, dc->text);
    return 1;
}

BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT *rect, LPCWSTR text, UINT count, const int *)
{
    if (!IsLiveDC(dc) || (!text && count)) return FALSE;
    Box clip = Area(dc);
    if (rect && (options & ETO_OPAQUE)) Drawing().Fill(OnDevice(dc, *rect).Intersect(clip), dc->background, dc->text);
    if (rect && (options & ETO_CLIPPED)) clip = clip.Intersect(OnDevice(dc, *rect));
    const Box at = OnDevice(dc, RECT{x, y, x, y});
    Drawing().Text(at.left, at.top, std::u16string_view(text, count), clip, LookOf(dc));
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size)
{
    if (!IsLiveDC(dc) || !size || count < 0 || (!text && count)) return FALSE;
    size->cx = Drawing().TextWidth(std::u16string_view(text, static_cast<size_t>(count)), Bold(dc));
    size->cy = Drawing().Metrics().font_height;
    return TRUE;
}

// tmAveCharWidth is the alphabet's average, as the dialog manager takes it.
BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics)
{
    if (!IsLiveDC(dc) || !metrics) return FALSE;
    const Device &device = Drawing();
    const DeviceMetrics m = device.Metrics();
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = m.font_height;
    metrics->tmAscent = m.font_ascent;
    metrics->tmDescent = m.font_height - m.font_ascent;
    metrics->tmAveCharWidth = AverageCharWidth(device, Bold(dc));
    metrics->tmMaxCharWidth = device.TextWidth(u"W", Bold(dc));
    metrics->tmWeight = Bold(dc) ? 700 : 400;
    return TRUE;
}

}  // extern "C"
