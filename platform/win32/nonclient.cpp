// Non-client painting, as the default window procedure does it on
// WM_NCPAINT, through a window DC: a dialog's frame and caption bar, with
// its title and close box where the device places them, and a control's
// client edge.
#include "gdi.h"
#include "window.h"

namespace platform {

// A dialog's frame: the face, a raised edge, the caption bar with its text
// a space in and the close box; a client edge: sunken round the client
// area, and for an edit field, what its device sets a field's edge apart by.
void DrawNonClient(HWND window)
{
    const bool dialog = window->kind == WindowKind::kDialog;
    const RECT &inset = window->client_inset;
    // On a screen whose windows get their frames from a window manager, a
    // dialog is its client area alone.
    if (dialog && inset.left == 0 && inset.top == 0 && inset.right == 0 && inset.bottom == 0) return;
    if (!dialog && !(window->ex_style & WS_EX_CLIENTEDGE)) return;
    HDC dc = GetWindowDC(window);
    RECT whole{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    if (!dialog) {
        DrawEdge(dc, &whole, EDGE_SUNKEN, BF_RECT);
        ReleaseDC(window, dc);
        return;
    }
    const RECT sides[] = {{0, 0, whole.right, inset.top},
                          {0, whole.bottom - inset.bottom, whole.right, whole.bottom},
                          {0, inset.top, inset.left, whole.bottom - inset.bottom},
                          {whole.right - inset.right, inset.top, whole.right, whole.bottom - inset.bottom}};
    for (const RECT &side : sides) FillRect(dc, &side, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT);
    if (window->style & WS_CAPTION) {
        const auto local = [&](RECT r) {
            return RECT{r.left - window->rect.left, r.top - window->rect.top, r.right - window->rect.left,
                        r.bottom - window->rect.top};
        };
        RECT caption = local(CaptionOf(window));
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        FillRect(dc, &caption, GetSysColorBrush(COLOR_ACTIVECAPTION));
        SelectObject(dc, CaptionFont());
        SetBkMode(dc, TRANSPARENT);
        SIZE space;
        GetTextExtentPoint32W(dc, u" ", 1, &space);
        RECT text = caption;
        text.left += space.cx;
        if (window->style & WS_SYSMENU) text.right = local(CloseBoxOf(window)).left - space.cx;
        DrawTextW(dc, window->text.c_str(), static_cast<int>(window->text.size()), &text, DT_SINGLELINE | DT_VCENTER);
        if (window->style & WS_SYSMENU) {
            RECT box = local(CloseBoxOf(window));
            DrawFrameControl(dc, &box, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        }
    }
    ReleaseDC(window, dc);
}

}  // namespace platform
