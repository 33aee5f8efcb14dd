// A device of pixels, as classic Windows draws at a given DPI: the dialog
// font and its bold face from Tahoma (font.h), the classic scheme's 3D
// edges, push buttons and close box, the dotted focus rectangle. It keeps
// what is drawn as an image, the caret apart, for a screen to show (and a
// test to read).
#ifndef RGBHSV_PLATFORM_PIXEL_DEVICE_H
#define RGBHSV_PLATFORM_PIXEL_DEVICE_H

#include <memory>
#include <string>
#include <vector>

#include "device.h"
#include "font.h"

namespace platform {

class PixelDevice : public Device {
public:
    // Whether dialogs on it draw their own frame and caption, or a window
    // manager gives them theirs.
    enum Frames { kDrawsFrames, kFramedByDesktop };
    // Drawing in the fonts from `fonts`; null, with the reason in `error`,
    // where they cannot be had.
    static std::unique_ptr<PixelDevice> Open(FontSource &fonts, int width, int height, int dpi,
                                             std::string *error, Frames frames = kDrawsFrames);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Resize(int width, int height) override;
    // The caption bar inside the frame, the close box a button two pixels
    // in from its end, as classic Windows draws them; none where the
    // desktop draws the frame.
    Box CaptionBar(const Box &window) const override;
    Box CloseBoxIn(const Box &caption) const override;
    DeviceMetrics Metrics() const override;
    int TextWidth(std::u16string_view text, bool bold) const override;

    void Clear() override;
    void Fill(const Box &box, Colour colour, Colour ink) override;
    void Text(int x, int y, std::u16string_view text, const Box &clip, const TextLook &look) override;
    void DrawEdge(const Box &box, Edge edge, Role role, const Box &clip) override;
    void PushButton(const Box &box, bool pushed, bool inactive, const Box &clip) override;
    void CloseBox(const Box &box, const Box &clip) override;
    void FocusRect(const Box &box, const Box &clip) override;
    void Caret(bool visible, const Box &box) override;
    Colour ColourOf(const Box &box) const override;

    int Dpi() const { return dpi_; }
    // The image, row by row, each pixel a COLORREF (0x00BBGGRR).
    const std::vector<Colour> &Pixels() const { return pixels_; }
    Colour At(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
    bool CaretVisible() const { return caret_visible_; }
    const Box &CaretBox() const { return caret_; }

private:
    PixelDevice(int dpi, Frames frames, std::unique_ptr<PixelFont> regular, std::unique_ptr<PixelFont> bold);
    void Plot(int x, int y, Colour colour, const Box &clip);
    // A two-line edge: the outer pair of colours (top left, bottom right),
    // then the inner pair one pixel in.
    void Bevel(const Box &box, Colour outer_lit, Colour outer_dark, Colour inner_lit, Colour inner_dark,
               const Box &clip);
    void Frame(const Box &box, Colour lit, Colour dark, const Box &clip);

    int dpi_;
    Frames frames_;
    std::unique_ptr<PixelFont> regular_, bold_;
    int width_ = 0, height_ = 0;
    std::vector<Colour> pixels_;
    bool caret_visible_ = false;
    Box caret_{};
};

}  // namespace platform

#endif
