// The Wayland window's seat: its keyboard and pointer as they come and go,
// turned into the screen's events. Keys through xkbcommon (wayland_keys.h),
// repeated while held at the compositor's rate; the first button's
// presses, drags and releases, a second press within Windows's double-click
// time and distance counted as a double click; the keyboard's coming and
// going as the window's activation; the pointer's image, the cursor theme's
// arrow.
#ifndef RGBHSV_PLATFORM_WAYLAND_SEAT_H
#define RGBHSV_PLATFORM_WAYLAND_SEAT_H

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>

#include "screen.h"
#include "wayland_desktop.h"
#include "wayland_keys.h"

struct wl_keyboard;
struct wl_pointer;
struct wl_cursor_theme;

namespace platform::wayland {

class Seat {
public:
    using Clock = std::chrono::steady_clock;

    // Events go to `events`, in the order they come.
    Seat(Desktop &desktop, std::deque<InputEvent> *events);
    ~Seat();
    Seat(const Seat &) = delete;
    Seat &operator=(const Seat &) = delete;

    // The device's pixels to a surface's pixel, in 120ths: where the
    // pointer's place is read.
    void SetScale(int scale120) { scale120_ = scale120; }
    // Asked of a button's press at a device pixel before it is anything
    // else: true where the screen has taken it (a drag on a caption of its
    // own). The button is evdev's, the serial the press's.
    std::function<bool(int x, int y, uint32_t button, uint32_t serial)> taken;

    // The last key's or button's serial, which the clipboard asks with.
    uint32_t Serial() const { return serial_; }
    // When a held key repeats next, or Clock::time_point::max(); and its
    // repeat, once that time has come.
    Clock::time_point NextRepeat() const { return repeat_key_ ? repeat_at_ : Clock::time_point::max(); }
    void Repeat(Clock::time_point now);

private:
    friend struct SeatListeners;
    void Capabilities(uint32_t caps);
    void PointerAt(int32_t x, int32_t y);  // wl_fixed_t, in the surface's pixels
    void Pressed(uint32_t serial, uint32_t time, uint32_t button, bool down);
    void ShowArrow(uint32_t serial);

    Desktop &desktop_;
    std::deque<InputEvent> &events_;
    int scale120_ = 120;
    wl_keyboard *keyboard_ = nullptr;
    wl_pointer *pointer_ = nullptr;
    Keyboard keys_;
    uint32_t serial_ = 0;
    int32_t repeat_rate_ = 25, repeat_delay_ = 600;
    uint32_t repeat_key_ = 0;
    Clock::time_point repeat_at_{};
    wl_cursor_theme *cursor_theme_ = nullptr;
    struct wl_surface *cursor_surface_ = nullptr;
    int pointer_x_ = 0, pointer_y_ = 0;  // in the device's pixels
    bool button_held_ = false;
    uint32_t last_press_time_ = 0;
    int last_press_x_ = -100, last_press_y_ = -100, presses_ = 0;
};

}  // namespace platform::wayland

#endif
