// The drawing subset: paint contexts from BeginPaint, solid brushes and
// FillRect onto the frame. Every object is counted until it is released, so
// a test can show that each paint frees what it made. Leaves out: pens,
// fonts, text output through a DC (controls draw their own text), clipping
// regions other than the window's client area.
#include <unordered_set>

#include "platform.h"
#include "window.h"

struct HDC__ {
    HWND window;
};

struct HGDIOBJ__ {
    COLORREF colour;
};

namespace platform {
namespace {

std::unordered_set<HDC> &LiveContexts()
{
    static std::unordered_set<HDC> set;
    return set;
}

std::unordered_set<HGDIOBJ> &LiveObjects()
{
    static std::unordered_set<HGDIOBJ> set;
    return set;
}

}  // namespace

int LiveDrawingObjects()
{
    return static_cast<int>(LiveContexts().size() + LiveObjects().size());
}

}  // namespace platform

using namespace platform;

extern "C" {

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    if (!IsLiveWindow(window) || !paint) return nullptr;
    HDC dc = new HDC__{window};
    LiveContexts().insert(dc);
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
    if (!paint || LiveContexts().erase(paint->hdc) == 0) return FALSE;
    delete paint->hdc;
    return TRUE;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour)
{
    HGDIOBJ brush = new HGDIOBJ__{colour & 0x00FFFFFFu};
    LiveObjects().insert(brush);
    return brush;
}

int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    if (!LiveContexts().count(dc) || !LiveObjects().count(brush) || !rect || !IsLiveWindow(dc->window)) return 0;
    FillClient(dc->window, *rect, brush->colour, kAttrContent);
    return 1;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    if (LiveObjects().erase(object) == 0) return FALSE;
    delete object;
    return TRUE;
}

}  // extern "C"
