// Cells from GDI: a fill is blank cells of its colour; text one character a
// cell; an edge round a window is lines over its outer cells, on the ground
// that was there (cells cannot be split for a frame outside them), and an
// edit field's edge the blank gap beside and below it; a push button is its
// face in brackets; the close box "[×]"; focus is bold; a selection, drawn
// in the highlight colours, is the field's own colours reversed, as
// terminals show a selection. Each cell keeps what it is part of (Mark), for
// a terminal that cannot show colours.
#include "cell_device.h"

namespace platform {

DeviceMetrics CellDevice::Metrics() const
{
    DeviceMetrics m;
    m.field_edge = Box{0, 0, 1, 1};
    return m;
}

Cell *CellDevice::At(int x, int y, const Box &clip)
{
    if (!clip.Contains(x, y) || !frame_.Contains(x, y)) return nullptr;
    return &frame_.At(x, y);
}

void CellDevice::Clear()
{
    frame_.cells.assign(frame_.cells.size(), Cell{});
}

void CellDevice::Fill(const Box &box, Colour colour, Colour ink)
{
    for (int y = box.top; y < box.bottom; y++)
        for (int x = box.left; x < box.right; x++)
            if (Cell *cell = At(x, y, box)) *cell = Cell{U' ', ink, colour};
}

void CellDevice::Mark(const Box &box, Role role)
{
    for (int y = box.top; y < box.bottom; y++)
        for (int x = box.left; x < box.right; x++)
            if (Cell *cell = At(x, y, box)) cell->role = role;
}

// A cell's colour is its ground: the lines of a client edge lie over a
// picture's outer cells and leave it.
Colour CellDevice::ColourOf(const Box &box) const
{
    Colour colour = kDefaultColour;
    for (int y = box.top; y < box.bottom; y++)
        for (int x = box.left; x < box.right; x++) {
            if (!frame_.Contains(x, y)) return kDefaultColour;
            const Cell &cell = frame_.At(x, y);
            if (colour != kDefaultColour && cell.bg != colour) return kDefaultColour;
            colour = cell.bg;
        }
    return colour;
}

void CellDevice::Text(int x, int y, std::u16string_view text, const Box &clip, const TextLook &look)
{
    const bool selected = look.opaque && look.selected;
    for (size_t i = 0; i < text.size(); i++) {
        Cell *cell = At(x + static_cast<int>(i), y, clip);
        if (!cell) continue;
        cell->ch = text[i];
        cell->fg = selected ? kColourText : look.embossed ? kColourGreyText : look.fg;
        if (look.opaque) cell->bg = selected ? kColourWindow : look.bg;
        cell->attrs = static_cast<uint8_t>((look.bold ? kAttrBold : kAttrNone) | (selected ? kAttrReverse : kAttrNone));
        cell->role = Role::kNone;
    }
}

void CellDevice::DrawEdge(const Box &box, Edge, Role role, const Box &clip)
{
    if (role == Role::kField) {
        // The gap the field's metrics leave: the dialog's face.
        const Box inner{box.left, box.top, box.right - 1, box.bottom - 1};
        for (int y = box.top; y < box.bottom; y++)
            for (int x = box.left; x < box.right; x++)
                if (!inner.Contains(x, y))
                    if (Cell *cell = At(x, y, clip)) *cell = Cell{U' ', kColourText, kColourFace};
        return;
    }
    if (box.right - box.left < 2 || box.bottom - box.top < 2) return;
    for (int y = box.top; y < box.bottom; y++)
        for (int x = box.left; x < box.right; x++) {
            const bool left = x == box.left, right = x == box.right - 1, top = y == box.top, bottom = y == box.bottom - 1;
            Cell *cell = (left || right || top || bottom) ? At(x, y, clip) : nullptr;
            if (!cell) continue;
            char32_t ch = (left || right) ? U'│' : U'─';
            if (top && left) ch = U'┌';
            else if (top && right) ch = U'┐';
            else if (bottom && left) ch = U'└';
            else if (bottom && right) ch = U'┘';
            cell->ch = ch;
            cell->fg = kColourFrame;
        }
}

void CellDevice::PushButton(const Box &box, bool, bool inactive, const Box &clip)
{
    Fill(box.Intersect(clip), kColourFace, kColourText);
    // The face is the middle row, in brackets, in the colour of its text.
    const int row = (box.top + box.bottom - 1) / 2;
    const Colour fg = inactive ? kColourGreyText : kColourText;
    for (int x = box.left; x < box.right; x++)
        if (Cell *cell = At(x, row, clip)) {
            cell->fg = fg;
            if (x == box.left || x == box.right - 1) cell->ch = x == box.left ? U'[' : U']';
        }
}

void CellDevice::CloseBox(const Box &box, const Box &clip)
{
    const char32_t face[] = {U'[', U'×', U']'};
    for (int i = 0; i < 3; i++)
        if (Cell *cell = At(box.left + i, box.top, clip.Intersect(box)))
            *cell = Cell{face[i], kColourCaptionText, kColourCaption, i == 1 ? kAttrBold : kAttrNone, Role::kCaption};
}

void CellDevice::FocusRect(const Box &box, const Box &clip)
{
    for (int y = box.top; y < box.bottom; y++)
        for (int x = box.left; x < box.right; x++)
            if (Cell *cell = At(x, y, clip)) cell->attrs |= kAttrBold;
}

void CellDevice::Caret(bool visible, const Box &box)
{
    frame_.caret_visible = visible;
    if (!visible) return;
    frame_.caret_x = box.left;
    frame_.caret_y = box.top;
}

}  // namespace platform
