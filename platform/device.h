// What the window system draws on: a device of cells (the terminal, the
// page, the in-memory screen) or of pixels. GDI's functions come down to
// these few operations, in the device's own units and coordinates, each
// clipped to the rectangle it is given; the device decides how each looks
// in its units, as a printer driver does for a printer.
#ifndef RGBHSV_PLATFORM_DEVICE_H
#define RGBHSV_PLATFORM_DEVICE_H

#include <cstdint>
#include <string_view>

#include "screen.h"

namespace platform {

// A rectangle in device units, right and bottom exclusive, as RECT is.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Box Intersect(const Box &o) const
    {
        return Box{left > o.left ? left : o.left, top > o.top ? top : o.top, right < o.right ? right : o.right,
                   bottom < o.bottom ? bottom : o.bottom};
    }
    bool operator==(const Box &) const = default;
};

// The device's system metrics, as GetSystemMetrics and the dialog manager
// read them. The dialog font is the one the system gives a dialog that
// names none (on pixels, "MS Shell Dlg" at 8 points).
struct DeviceMetrics {
    int font_height = 1;     // the dialog font's tmHeight
    int font_ascent = 1;     // ... its tmAscent
    int frame_width = 1;     // a dialog's frame on each side
    int frame_height = 1;    // ... at its top and bottom
    int caption_height = 0;  // the caption bar below the top frame; 0: it lies on the frame's top row
    int edge = 0;            // SM_CXEDGE: one side of a raised or sunken edge
    Box client_edge{};       // what a sunken client edge takes from each side (left, top, right, bottom)
    Box field_edge{};        // ... round an edit field
};

// The system colours, Windows's classic scheme, in COLORREF layout: what
// GetSysColor gives, and what a device draws its edges and buttons in.
constexpr Colour kColourFace = 0xC0C0C0;       // dialog and button face
constexpr Colour kColourText = 0x000000;
constexpr Colour kColourGreyText = 0x808080;   // disabled controls
constexpr Colour kColourWindow = 0xFFFFFF;     // edit fields
constexpr Colour kColourCaption = 0x800000;    // navy caption bar
constexpr Colour kColourCaptionText = 0xFFFFFF;
constexpr Colour kColourFrame = 0x000000;      // SS_BLACKRECT, a window's frame
constexpr Colour kColourHighlight = 0x800000;  // a selection's ground
constexpr Colour kColourHighlightText = 0xFFFFFF;
constexpr Colour kColourLightest = 0xFFFFFF;   // the lit inner side of a raised edge
constexpr Colour kColourLight = 0xC0C0C0;      // ... its outer side
constexpr Colour kColourShadow = 0x808080;     // the shaded inner side
constexpr Colour kColourDarkShadow = 0x000000; // ... its outer side

// The average character width of the dialog font (or its bold face) as
// Windows takes a font's: the alphabet's extent, as (extent + 26) / 52.
inline int AverageCharWidth(const Device &device, bool bold = false);

// A sunken edge (round an edit field or a static) or a raised one (a
// dialog's frame).
enum class Edge { kRaised, kSunken };

// How a text is drawn: its colours, whether its ground is filled first,
// bold (the caption's font), greyed as DrawState greys a disabled control's
// text, and whether it is a selection (drawn in the highlight colours, which
// a device of few colours may show its own way).
struct TextLook {
    Colour fg = 0;
    Colour bg = 0xFFFFFF;
    bool opaque = false;
    bool bold = false;
    bool embossed = false;
    bool selected = false;
};

class Device {
public:
    virtual ~Device() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Resize(int width, int height) = 0;
    virtual DeviceMetrics Metrics() const = 0;
    // GetTextExtentPoint32's width of `text` in the dialog font, or its
    // bold face (the caption's).
    virtual int TextWidth(std::u16string_view text, bool bold = false) const = 0;
    // Where the caption bar of a framed window at `window` lies, and the
    // close box in a bar at `caption`: only the device knows how its frames
    // are drawn.
    virtual Box CaptionBar(const Box &window) const = 0;
    virtual Box CloseBoxIn(const Box &caption) const = 0;

    // Everything in the device's background (a terminal's own colours).
    virtual void Clear() = 0;
    // `ink` is the DC's text colour, for a device whose blanks have one.
    virtual void Fill(const Box &box, Colour colour, Colour ink) = 0;
    // `text` with its top left at (x, y), a line of the font's height.
    virtual void Text(int x, int y, std::u16string_view text, const Box &clip, const TextLook &look) = 0;
    // An edge round `box`, inside it. `role` is what it surrounds.
    virtual void DrawEdge(const Box &box, Edge edge, Role role, const Box &clip) = 0;
    // A push button's face, raised (or pushed in), greyed when inactive.
    virtual void PushButton(const Box &box, bool pushed, bool inactive, const Box &clip) = 0;
    // The close box of a caption bar.
    virtual void CloseBox(const Box &box, const Box &clip) = 0;
    // DrawFocusRect: the focus's dotted rectangle.
    virtual void FocusRect(const Box &box, const Box &clip) = 0;
    // The caret, `box` wide and tall, or none.
    virtual void Caret(bool visible, const Box &box) = 0;

    // What `box` is part of, as the window system describes its windows
    // once they are painted (a caption bar, an edit field, a picture), for
    // a device that sets these apart another way than by colour. Drawing
    // over a box forgets it.
    virtual void Mark(const Box & /*box*/, Role /*role*/) {}
    // The one colour that covers `box`, as a screen reader is told a
    // picture's; kDefaultColour where it holds more than one.
    virtual Colour ColourOf(const Box &box) const = 0;
};

// Windows' MulDiv, the one rounding every scaling uses (dialog units, the
// font's em, the frame at a DPI): the product over the denominator, rounded
// to nearest with halves away from zero; -1 for a zero denominator or a
// result past an int.
inline int MulDivRounded(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long d = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
    const long long magnitude = ((product < 0 ? -product : product) + d / 2) / d;
    const long long result = (product < 0) != (denominator < 0) ? -magnitude : magnitude;
    return result > INT32_MAX || result < INT32_MIN ? -1 : static_cast<int>(result);
}

// The dialog font's size, as Windows's "MS Shell Dlg" is given to a dialog.
constexpr int kDialogFontPoints = 8;

inline int AverageCharWidth(const Device &device, bool bold)
{
    return (device.TextWidth(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", bold) + 26) / 52;
}

}  // namespace platform

#endif
