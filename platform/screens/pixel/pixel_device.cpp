// Pixels as classic Windows draws them. Edges are two lines of the scheme's
// 3D colours; where a side's lines meet the next side's, the bottom and
// right ones are drawn last and own the corners, as DrawEdge has it.
#include "pixel_device.h"

#include <algorithm>

namespace platform {
namespace {

// What is not drawn on: black, as a screen is before a window covers it.
constexpr Colour kBackground = 0x000000;

int Scale(int pixels, int dpi)
{
    return MulDivRounded(pixels, dpi, 96);
}

}  // namespace

std::unique_ptr<PixelDevice> PixelDevice::Open(FontSource &fonts, int width, int height, int dpi,
                                               std::string *error, Frames frames)
{
    auto regular = fonts.Open(false, kDialogFontPoints, dpi, error);
    if (!regular) return nullptr;
    auto bold = fonts.Open(true, kDialogFontPoints, dpi, error);
    if (!bold) return nullptr;
    std::unique_ptr<PixelDevice> device(new PixelDevice(dpi, frames, std::move(regular), std::move(bold)));
    device->Resize(width, height);
    return device;
}

PixelDevice::PixelDevice(int dpi, Frames frames, std::unique_ptr<PixelFont> regular, std::unique_ptr<PixelFont> bold)
    : dpi_(dpi), frames_(frames), regular_(std::move(regular)), bold_(std::move(bold))
{
}

void PixelDevice::Resize(int width, int height)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    pixels_.assign(static_cast<size_t>(width_ * height_), kBackground);
}

// The classic scheme's: a dialog's frame of 3 pixels, the caption bar of
// 19 with its line below, both scaled (none where the desktop frames the
// window); edges of 2.
DeviceMetrics PixelDevice::Metrics() const
{
    DeviceMetrics m;
    m.font_height = regular_->Height();
    m.font_ascent = regular_->Ascent();
    const bool framed = frames_ == kDrawsFrames;
    m.frame_width = m.frame_height = framed ? Scale(3, dpi_) : 0;
    m.caption_height = framed ? Scale(19, dpi_) : 0;
    m.edge = 2;
    m.client_edge = m.field_edge = Box{2, 2, 2, 2};
    return m;
}

Box PixelDevice::CaptionBar(const Box &window) const
{
    const DeviceMetrics m = Metrics();
    if (m.caption_height == 0) return Box{window.left, window.top, window.left, window.top};
    return Box{window.left + m.frame_width, window.top + m.frame_height, window.right - m.frame_width,
               window.top + m.frame_height + m.caption_height - 1};
}

Box PixelDevice::CloseBoxIn(const Box &caption) const
{
    if (caption.bottom <= caption.top) return caption;
    const int height = caption.bottom - caption.top - 4, width = height + 2;
    return Box{caption.right - 2 - width, caption.top + 2, caption.right - 2, caption.top + 2 + height};
}

int PixelDevice::TextWidth(std::u16string_view text, bool bold) const
{
    return (bold ? bold_ : regular_)->TextWidth(text);
}

void PixelDevice::Plot(int x, int y, Colour colour, const Box &clip)
{
    if (clip.Contains(x, y) && x >= 0 && y >= 0 && x < width_ && y < height_)
        pixels_[static_cast<size_t>(y * width_ + x)] = colour;
}

void PixelDevice::Clear()
{
    pixels_.assign(pixels_.size(), kBackground);
}

void PixelDevice::Fill(const Box &box, Colour colour, Colour)
{
    const Box in = box.Intersect(Box{0, 0, width_, height_});
    for (int y = in.top; y < in.bottom; y++)
        std::fill_n(pixels_.begin() + y * width_ + in.left, std::max(0, in.right - in.left), colour);
}

Colour PixelDevice::ColourOf(const Box &box) const
{
    if (box.Intersect(Box{0, 0, width_, height_}) != box || box.right <= box.left || box.bottom <= box.top)
        return kDefaultColour;
    const Colour colour = At(box.left, box.top);
    for (int y = box.top; y < box.bottom; y++)
        for (int x = box.left; x < box.right; x++)
            if (At(x, y) != colour) return kDefaultColour;
    return colour;
}

void PixelDevice::Text(int x, int y, std::u16string_view text, const Box &clip, const TextLook &look)
{
    const PixelFont &font = look.bold ? *bold_ : *regular_;
    if (look.opaque) Fill(Box{x, y, x + font.TextWidth(text), y + font.Height()}.Intersect(clip), look.bg, 0);
    // Each pixel blended over what is there, as smoothed text is.
    const auto ink = [&](Colour colour) {
        return [&, colour](int px, int py, int coverage) {
            if (!clip.Contains(px, py) || px < 0 || py < 0 || px >= width_ || py >= height_) return;
            Colour &pixel = pixels_[static_cast<size_t>(py * width_ + px)];
            pixel = Blend(pixel, colour, coverage);
        };
    };
    // Embossed as DrawState embosses: from the text drawn in one bit a
    // pixel, so never smoothed.
    if (look.embossed) {
        font.Draw(text, x + 1, y + 1, ink(kColourLightest), true);
        font.Draw(text, x, y, ink(kColourShadow), true);
        return;
    }
    font.Draw(text, x, y, ink(look.fg));
}

void PixelDevice::Frame(const Box &b, Colour lit, Colour dark, const Box &clip)
{
    for (int x = b.left; x < b.right - 1; x++) Plot(x, b.top, lit, clip);
    for (int y = b.top; y < b.bottom - 1; y++) Plot(b.left, y, lit, clip);
    for (int x = b.left; x < b.right; x++) Plot(x, b.bottom - 1, dark, clip);
    for (int y = b.top; y < b.bottom; y++) Plot(b.right - 1, y, dark, clip);
}

void PixelDevice::Bevel(const Box &box, Colour outer_lit, Colour outer_dark, Colour inner_lit, Colour inner_dark,
                        const Box &clip)
{
    Frame(box, outer_lit, outer_dark, clip);
    Frame(Box{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, inner_lit, inner_dark, clip);
}

void PixelDevice::DrawEdge(const Box &box, Edge edge, Role, const Box &clip)
{
    if (edge == Edge::kRaised)
        Bevel(box, kColourLight, kColourDarkShadow, kColourLightest, kColourShadow, clip);
    else
        Bevel(box, kColourShadow, kColourLightest, kColourDarkShadow, kColourLight, clip);
}

void PixelDevice::PushButton(const Box &box, bool pushed, bool, const Box &clip)
{
    Fill(box.Intersect(clip), kColourFace, 0);
    if (pushed)
        Bevel(box, kColourDarkShadow, kColourLightest, kColourShadow, kColourLight, clip);
    else
        Bevel(box, kColourLightest, kColourDarkShadow, kColourLight, kColourShadow, clip);
}

// A raised button with its cross: two strokes of two pixels, as Marlett's
// close glyph draws at the caption's size.
void PixelDevice::CloseBox(const Box &box, const Box &clip)
{
    PushButton(box, false, false, clip);
    const int size = std::min(box.right - box.left, box.bottom - box.top) / 2;
    const int left = (box.left + box.right - size) / 2 - 1, top = (box.top + box.bottom - size) / 2;
    for (int i = 0; i < size; i++)
        for (int w = 0; w < 2; w++) {
            Plot(left + i + w, top + i, kColourText, clip);
            Plot(left + size - 1 - i + w, top + i, kColourText, clip);
        }
}

// Every other pixel, inverted, as DrawFocusRect does it.
void PixelDevice::FocusRect(const Box &box, const Box &clip)
{
    const auto invert = [&](int x, int y) {
        if (clip.Contains(x, y) && x >= 0 && y >= 0 && x < width_ && y < height_)
            pixels_[static_cast<size_t>(y * width_ + x)] ^= 0xFFFFFF;
    };
    for (int x = box.left; x < box.right; x += 2) {
        invert(x, box.top);
        invert(x, box.bottom - 1);
    }
    for (int y = box.top + 2; y < box.bottom - 1; y += 2) {
        invert(box.left, y);
        invert(box.right - 1, y);
    }
}

void PixelDevice::Caret(bool visible, const Box &box)
{
    caret_visible_ = visible;
    caret_ = visible ? box : Box{};
}

}  // namespace platform
