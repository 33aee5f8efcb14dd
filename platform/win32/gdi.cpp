// The drawing subset: the cells that controls fill and write, the caret,
// paint contexts from BeginPaint, solid brushes and FillRect onto the frame.
// Every object is counted until it is released, so a test can show that each
// paint frees what it made. Leaves out: pens, fonts, text output through a
// DC (controls draw their own text), clipping regions other than the window's
// client area.
#include <algorithm>
#include <iterator>
#include <string>

#include "gdi.h"
#include "platform.h"
#include "system.h"
#include "window.h"

struct HDC__ {
    HWND window;
};

struct HGDIOBJ__ {
    COLORREF colour;
};

namespace platform {

int LiveDrawingObjects()
{
    return static_cast<int>(System().paint_contexts.size() + System().brushes.size());
}

void FreeDrawingObjects()
{
    for (HDC dc : System().paint_contexts) delete dc;
    for (HGDIOBJ brush : System().brushes) delete brush;
    System().paint_contexts.clear();
    System().brushes.clear();
}

// --- Cells: what the controls' painting and FillRect put in the frame --------

void FillCells(HWND window, const RECT &rect, Colour bg, uint8_t attrs)
{
    const RECT client = ClientRectOnScreen(window);
    Frame &frame = FrameBuffer();
    const LONG left = std::max(client.left + rect.left, client.left);
    const LONG top = std::max(client.top + rect.top, client.top);
    const LONG right = std::min(client.left + rect.right, client.right);
    const LONG bottom = std::min(client.top + rect.bottom, client.bottom);
    const bool whole = left == client.left && top == client.top && right == client.right && bottom == client.bottom;
    window->fill = whole ? bg : kDefaultColour;
    for (LONG y = top; y < bottom; y++)
        for (LONG x = left; x < right; x++)
            if (frame.Contains(x, y)) frame.At(x, y) = Cell{U' ', kColourText, bg, attrs};
}

void PutText(HWND window, int x, int y, std::u16string_view text, Colour fg, Colour bg, uint8_t attrs)
{
    const RECT client = ClientRectOnScreen(window);
    Frame &frame = FrameBuffer();
    const LONG row = client.top + y;
    if (row < client.top || row >= client.bottom) return;
    for (size_t i = 0; i < text.size(); i++) {
        const LONG column = client.left + x + static_cast<LONG>(i);
        if (column < client.left || column >= client.right || !frame.Contains(column, row)) continue;
        frame.At(column, row) = Cell{static_cast<char32_t>(text[i]), fg, bg, attrs};
    }
}

void PutLabel(HWND window, std::u16string_view text, Colour fg, Colour bg)
{
    const RECT own = ClientRectOnScreen(window);
    const RECT room = window->parent ? ClientRectOnScreen(window->parent) : own;
    Frame &frame = FrameBuffer();
    for (size_t i = 0; i < text.size(); i++) {
        const LONG column = own.left + static_cast<LONG>(i);
        if (column >= room.right || !frame.Contains(column, own.top) || own.top >= own.bottom) break;
        frame.At(column, own.top) = Cell{static_cast<char32_t>(text[i]), fg, bg, kAttrNone};
    }
}

void PutScreenCell(LONG x, LONG y, const Cell &cell)
{
    Frame &frame = FrameBuffer();
    if (frame.Contains(x, y)) frame.At(x, y) = cell;
}

void OutlineCells(HWND window, Colour fg)
{
    const RECT r = ClientRectOnScreen(window);
    if (r.right - r.left < 2 || r.bottom - r.top < 2) return;
    Frame &frame = FrameBuffer();
    for (LONG y = r.top; y < r.bottom; y++) {
        for (LONG x = r.left; x < r.right; x++) {
            const bool left = x == r.left, right = x == r.right - 1, top = y == r.top, bottom = y == r.bottom - 1;
            if (!(left || right || top || bottom) || !frame.Contains(x, y)) continue;
            char32_t ch = (left || right) ? U'│' : U'─';
            if (top && left) ch = U'┌';
            else if (top && right) ch = U'┐';
            else if (bottom && left) ch = U'└';
            else if (bottom && right) ch = U'┘';
            Cell &cell = frame.At(x, y);
            cell.ch = ch;
            cell.fg = fg;
        }
    }
}

void ShowNeededSize(int width, int height)
{
    Frame &frame = FrameBuffer();
    const auto size = [](int w, int h) { return std::to_string(w) + "x" + std::to_string(h); };
    const std::string needs = "Needs " + size(width, height);
    const std::string has = needs + ", has " + size(frame.width, frame.height);
    const std::string messages[] = {
        "The dialog needs a screen of " + std::to_string(width) + " x " + std::to_string(height) +
            "; this one is " + std::to_string(frame.width) + " x " + std::to_string(frame.height) +
            ". Escape or Ctrl+C closes.",
        has + "; Escape or Ctrl+C closes",
        has + "; Esc closes",
        has,
        needs,
        size(width, height),
    };
    std::string message = messages[std::size(messages) - 1];
    for (const std::string &m : messages)
        if (static_cast<int>(m.size()) <= frame.width) {
            message = m;
            break;
        }
    frame.cells.assign(frame.cells.size(), Cell{});
    for (int x = 0; frame.height > 0 && x < frame.width && x < static_cast<int>(message.size()); x++)
        frame.At(x, 0).ch = static_cast<char32_t>(message[static_cast<size_t>(x)]);
    frame.caret_visible = false;
}

void PlaceCaret(HWND window, bool visible, int x, int y)
{
    Frame &frame = FrameBuffer();
    frame.caret_visible = visible && IsLiveWindow(window);
    if (!frame.caret_visible) return;
    const RECT client = ClientRectOnScreen(window);
    frame.caret_x = client.left + x;
    frame.caret_y = client.top + y;
}

}  // namespace platform

using namespace platform;

extern "C" {

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    if (!IsLiveWindow(window) || !paint) return nullptr;
    HDC dc = new HDC__{window};
    System().paint_contexts.insert(dc);
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
    if (!paint || System().paint_contexts.erase(paint->hdc) == 0) return FALSE;
    delete paint->hdc;
    return TRUE;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour)
{
    HGDIOBJ brush = new HGDIOBJ__{colour & 0x00FFFFFFu};
    System().brushes.insert(brush);
    return brush;
}

int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    if (!System().paint_contexts.count(dc) || !System().brushes.count(brush) || !rect || !IsLiveWindow(dc->window)) return 0;
    FillCells(dc->window, *rect, brush->colour, kAttrContent);
    return 1;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    if (System().brushes.erase(object) == 0) return FALSE;
    delete object;
    return TRUE;
}

}  // extern "C"
