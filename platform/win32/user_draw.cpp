// User32's drawing on a device context, as Windows keeps it apart from GDI
// proper: text drawn in a rectangle (DrawTextW, one line or broken at
// spaces), edges, frame controls (a push button, a caption's close box),
// the focus rectangle and greyed text (DrawStateW), all through the DC's
// device.
// Leaves out: DrawTextW's tabs, prefixes and ellipses, edges other than all
// four sides, frame controls other than the two.
#include <algorithm>
#include <string>
#include <vector>

#include "gdi.h"
#include "system.h"
#include "window.h"

namespace platform {
namespace {

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
}  // namespace platform

using namespace platform;

extern "C" {

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
    Drawing().DrawEdge(OnDevice(dc, *rect), kind, RoleOf(dc->window), Area(dc));
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

}  // extern "C"
