// The device of a screen of cells: what the window system draws becomes the
// cells of a frame it keeps, one character a cell, as the terminal and the
// in-memory screen show them. Each such screen owns one.
#ifndef RGBHSV_PLATFORM_CELL_DEVICE_H
#define RGBHSV_PLATFORM_CELL_DEVICE_H

#include "device.h"

namespace platform {

class CellDevice : public Device {
public:
    CellDevice(int width, int height) { frame_.Resize(width, height); }
    // What is drawn, for the screen to show.
    const Frame &Cells() const { return frame_; }
    int Width() const override { return frame_.width; }
    int Height() const override { return frame_.height; }
    void Resize(int width, int height) override { frame_.Resize(width, height); }
    // One cell a character, the font one row; the caption lies on the
    // frame's top row; an edit field's edge is the cell gap to its right
    // and below it, so that fields side by side stay apart.
    DeviceMetrics Metrics() const override;
    int TextWidth(std::u16string_view text, bool) const override { return static_cast<int>(text.size()); }
    // The caption bar is the frame's top row, the close box three cells of
    // it, one in from the corner.
    Box CaptionBar(const Box &window) const override
    {
        return Box{window.left, window.top, window.right, window.top + Metrics().frame_height};
    }
    Box CloseBoxIn(const Box &caption) const override
    {
        return Box{caption.right - 4, caption.top, caption.right - 1, caption.bottom};
    }

    void Clear() override;
    void Fill(const Box &box, Colour colour, Colour ink) override;
    void Text(int x, int y, std::u16string_view text, const Box &clip, const TextLook &look) override;
    void DrawEdge(const Box &box, Edge edge, Role role, const Box &clip) override;
    void PushButton(const Box &box, bool pushed, bool inactive, const Box &clip) override;
    void CloseBox(const Box &box, const Box &clip) override;
    void FocusRect(const Box &box, const Box &clip) override;
    void Caret(bool visible, const Box &box) override;
    void Mark(const Box &box, Role role) override;
    Colour ColourOf(const Box &box) const override;

private:
    Cell *At(int x, int y, const Box &clip);
    Frame frame_;
};

}  // namespace platform

#endif
