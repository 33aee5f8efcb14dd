// The drawing subset of GDI, onto the screen's device: paint contexts from
// BeginPaint and window contexts for the non-client area, the classic
// scheme's system colours and their brushes, solid brushes, the dialog font
// and the caption's bold one, text out, drawn and measured, edges, frame
// controls, the focus rectangle, and the one caret. Every object a program
// makes is counted until it is released, so a test can show that each
// paint frees what it made.
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

constexpr int kSystemColours = COLOR_3DLIGHT + 1;

// The stock objects: never counted, never freed.
struct StockObjects {
    HGDIOBJ__ brushes[kSystemColours];
    HGDIOBJ__ dialog_font{HGDIOBJ__::Kind::kFont, 0, false};
    HGDIOBJ__ caption_font{HGDIOBJ__::Kind::kFont, 0, true};
    StockObjects()
    {
        for (int i = 0; i < kSystemColours; i++) brushes[i] = HGDIOBJ__{HGDIOBJ__::Kind::kBrush, SystemColour(i), false};
    }
    bool Owns(HGDIOBJ object) const
    {
        return (object >= brushes && object < brushes + kSystemColours) || object == &dialog_font ||
               object == &caption_font;
    }
};

StockObjects &Stock()
{
    static StockObjects stock;
    return stock;
}

bool IsLiveDC(HDC dc)
{
    return dc && System().device_contexts.count(dc) && IsLiveWindow(dc->window);
}

bool IsBrush(HGDIOBJ object)
{
    return object && (Stock().Owns(object) || System().brushes.count(object)) && object->kind == HGDIOBJ__::Kind::kBrush;
}

Box ToBox(const RECT &r)
{
    return Box{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
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
    look.role = dc->role;
    return look;
}

HDC MakeDC(HWND window, bool whole_window)
{
    HDC dc = new HDC__{window, whole_window, 0x000000, 0xFFFFFF, OPAQUE, &Stock().dialog_font};
    // What a window's drawing is part of, for a device that sets it apart:
    // an edit field's box, while it can be typed into.
    dc->role = window->kind == WindowKind::kEdit && !(window->style & WS_DISABLED) ? Role::kField : Role::kNone;
    System().device_contexts.insert(dc);
    return dc;
}

bool FreeDC(HDC dc)
{
    if (!dc || System().device_contexts.erase(dc) == 0) return false;
    delete dc;
    return true;
}

// The lines of `text` in `width`, broken after spaces as DrawText's
// DT_WORDBREAK breaks them; a word wider than the line keeps a line of its
// own.
std::vector<std::u16string_view> WrapWords(const Device &device, std::u16string_view text, int width, bool bold)
{
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start, fits = start;
        while (end < text.size()) {
            size_t next = text.find(u' ', end);
            next = next == std::u16string_view::npos ? text.size() : next;
            if (device.TextWidth(text.substr(start, next - start), bold) > width && fits > start) break;
            fits = next;
            end = next + 1;
        }
        if (fits == start) fits = std::min(text.size(), text.find(u' ', start));
        lines.push_back(text.substr(start, fits - start));
        start = fits;
        while (start < text.size() && text[start] == u' ') start++;
    }
    return lines;
}

}  // namespace

HFONT CaptionFont()
{
    return &Stock().caption_font;
}

Device &Drawing()
{
    WindowSystem &system = System();
    if (system.screen && system.screen->OwnDevice()) return *system.screen->OwnDevice();
    return system.cells;
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

void ShowNeededSize(int width, int height)
{
    Device &device = Drawing();
    const auto size = [](int w, int h) { return std::to_string(w) + "x" + std::to_string(h); };
    const int has_width = device.Width(), has_height = device.Height();
    const std::string needs = "Needs " + size(width, height);
    const std::string has = needs + ", has " + size(has_width, has_height);
    const std::string messages[] = {
        "The dialog needs a screen of " + std::to_string(width) + " x " + std::to_string(height) + "; this one is " +
            std::to_string(has_width) + " x " + std::to_string(has_height) + ". Escape or Ctrl+C closes.",
        has + "; Escape or Ctrl+C closes",
        has + "; Esc closes",
        has,
        needs,
        size(width, height),
    };
    std::u16string message = Utf16FromUtf8(messages[std::size(messages) - 1]);
    for (const std::string &m : messages)
        if (device.TextWidth(Utf16FromUtf8(m)) <= has_width) {
            message = Utf16FromUtf8(m);
            break;
        }
    device.Clear();
    TextLook look;
    look.fg = look.bg = kDefaultColour;
    device.Text(0, 0, message, Box{0, 0, has_width, has_height}, look);
    device.Caret(false, Box{});
}

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

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    if (!IsLiveWindow(window) || !paint) return nullptr;
    HDC dc = MakeDC(window, false);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    GetClientRect(window, &paint->rcPaint);
    window->fill = kDefaultColour;
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

// A brush the program made fills in its own colour, which is content; a
// system brush is the scheme's, and part of what the DC draws.
int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    if (!IsLiveDC(dc) || !IsBrush(brush) || !rect) return 0;
    const bool own = !Stock().Owns(brush);
    const Box box = OnDevice(dc, *rect).Intersect(Area(dc));
    Drawing().Fill(box, brush->colour, own ? Role::kContent : dc->role, dc->text);
    if (!dc->whole_window) dc->window->fill = box == Area(dc) ? brush->colour : kDefaultColour;
    return 1;
}

BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT *rect, LPCWSTR text, UINT count, const int *)
{
    if (!IsLiveDC(dc) || (!text && count)) return FALSE;
    Box clip = Area(dc);
    if (rect && (options & ETO_OPAQUE)) Drawing().Fill(OnDevice(dc, *rect).Intersect(clip), dc->background, dc->role, dc->text);
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

// One line (DT_SINGLELINE, centred across and down as asked) or lines
// broken at spaces (DT_WORDBREAK); clipped to `rect` unless DT_NOCLIP.
// Returns the height of what was drawn.
int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format)
{
    if (!IsLiveDC(dc) || !rect || !text) return 0;
    const std::u16string_view all = count < 0 ? std::u16string_view(text) : std::u16string_view(text, static_cast<size_t>(count));
    const Device &device = Drawing();
    const int height = device.Metrics().font_height;
    const int width = static_cast<int>(rect->right - rect->left);
    std::vector<std::u16string_view> lines;
    if (format & DT_SINGLELINE)
        lines.push_back(all);
    else if (format & DT_WORDBREAK)
        lines = WrapWords(device, all, width, Bold(dc));
    else
        lines.push_back(all.substr(0, std::min(all.size(), all.find_first_of(u"\r\n"))));
    Box clip = Area(dc);
    if (!(format & DT_NOCLIP)) clip = clip.Intersect(OnDevice(dc, *rect));
    int y = static_cast<int>(rect->top);
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER)) y += (static_cast<int>(rect->bottom - rect->top) - height) / 2;
    for (std::u16string_view line : lines) {
        int x = static_cast<int>(rect->left);
        if (format & DT_CENTER) x += (width - device.TextWidth(line, Bold(dc))) / 2;
        const Box at = OnDevice(dc, RECT{x, y, x, y});
        Drawing().Text(at.left, at.top, line, clip, LookOf(dc));
        y += height;
    }
    return static_cast<int>(lines.size()) * height;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy)
{
    if (!rect) return FALSE;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

// EDGE_RAISED or EDGE_SUNKEN on all four sides; BF_ADJUST leaves `rect`
// as what is inside the edge.
BOOL WINAPI DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags)
{
    if (!IsLiveDC(dc) || !rect || (flags & BF_RECT) != BF_RECT) return FALSE;
    const Edge kind = (edge & (BDR_SUNKENOUTER | BDR_SUNKENINNER)) ? Edge::kSunken : Edge::kRaised;
    Drawing().DrawEdge(OnDevice(dc, *rect), kind, dc->role, Area(dc));
    if (flags & BF_ADJUST) {
        const int side = Drawing().Metrics().edge;
        InflateRect(rect, -side, -side);
    }
    return TRUE;
}

BOOL WINAPI DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state)
{
    if (!IsLiveDC(dc) || !rect) return FALSE;
    const Box box = OnDevice(dc, *rect);
    if (type == DFC_BUTTON && (state & 0xFF) == DFCS_BUTTONPUSH) {
        Drawing().PushButton(box, (state & DFCS_PUSHED) != 0, (state & DFCS_INACTIVE) != 0, Area(dc));
        return TRUE;
    }
    if (type == DFC_CAPTION && (state & 0xFF) == DFCS_CAPTIONCLOSE) {
        Drawing().CloseBox(box, Area(dc));
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI DrawFocusRect(HDC dc, const RECT *rect)
{
    if (!IsLiveDC(dc) || !rect) return FALSE;
    Drawing().FocusRect(OnDevice(dc, *rect), Area(dc));
    return TRUE;
}

// Text only (DST_TEXT), plain or greyed as a disabled control's
// (DSS_DISABLED): on pixels embossed, its lit copy a pixel down and right.
BOOL WINAPI DrawStateW(HDC dc, HBRUSH, DRAWSTATEPROC, LPARAM data, WPARAM length, int x, int y, int, int, UINT flags)
{
    if (!IsLiveDC(dc) || (flags & 0x000F) != DST_TEXT || !data) return FALSE;
    const auto *text = reinterpret_cast<LPCWSTR>(data);
    const std::u16string_view shown = length ? std::u16string_view(text, length) : std::u16string_view(text);
    TextLook look = LookOf(dc);
    look.opaque = false;
    look.embossed = (flags & DSS_DISABLED) != 0;
    const Box at = OnDevice(dc, RECT{x, y, x, y});
    Drawing().Text(at.left, at.top, shown, Area(dc), look);
    return TRUE;
}

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
