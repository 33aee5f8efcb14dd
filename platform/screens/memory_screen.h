// The in-memory screen: drawn in cells of its own, it keeps the last frame
// presented for tests to read; given a device (a pixel device, say), it is
// drawn on that instead. It counts beeps (the one count of them), keeps a
// clipboard tests can read and fill, and takes its input from a driver
// function that the modal loop calls each time it is idle, after painting.
#ifndef RGBHSV_PLATFORM_MEMORY_SCREEN_H
#define RGBHSV_PLATFORM_MEMORY_SCREEN_H

#include <functional>

#include "cell_device.h"
#include "screen.h"

namespace platform {

class MemoryScreen : public Screen {
public:
    // Returns the next event, or false to end the input.
    using Driver = std::function<bool(MemoryScreen &, InputEvent *)>;

    MemoryScreen(int width, int height, Driver driver, Device *device = nullptr)
        : width_(width), height_(height), driver_(std::move(driver)), cells_(width, height),
          device_(device ? device : &cells_)
    {
    }

    Device *OwnDevice() override { return device_; }
    // Another device from now on, as a screen of another density has; the
    // test then sends kRescale.
    void SetDevice(Device *device) { device_ = device ? device : &cells_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Present() override { frame_ = cells_.Cells(); }
    void Beep() override { beeps_++; }
    bool NextInput(InputEvent *event) override
    {
        if (!driver_ || !driver_(*this, event)) return false;
        if (event->kind == InputEvent::Kind::kResize) {
            width_ = event->width;
            height_ = event->height;
            device_->Resize(width_, height_);
        }
        return true;
    }

    const Frame &LastFrame() const { return frame_; }
    // The clipboard, as a test reads and fills it.
    const std::string &Clipboard() const { return clipboard_; }
    void SetClipboard(std::string text) { clipboard_ = std::move(text); }
    int Beeps() const { return beeps_; }

private:
    int width_, height_;
    Driver driver_;
    CellDevice cells_;
    Device *device_;
    Frame frame_;
    int beeps_ = 0;
};

}  // namespace platform

#endif
