// The seat's keyboard and pointer, over libwayland-client.
// Leaves out: touch, the wheel, buttons other than the first (but for the
// screen's own use of a press, through `taken`).
#include "wayland_seat.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-cursor.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "device.h"

namespace platform::wayland {
namespace {

// Windows's double click: a second press within this time of the first,
// and this near it (SM_CXDOUBLECLK at 96 DPI).
constexpr uint32_t kDoubleClickMs = 500;
constexpr int kDoubleClickPixels = 4;

Seat &Of(void *data)
{
    return *static_cast<Seat *>(data);
}

}  // namespace

// The listeners reach the seat's private parts through these.
struct SeatListeners {
    static const wl_keyboard_listener kKeyboard;
    static const wl_pointer_listener kPointer;
};

Seat::Seat(Desktop &desktop, std::deque<InputEvent> *events) : desktop_(desktop), events_(*events)
{
    desktop.capabilities_changed = [this](uint32_t caps) { Capabilities(caps); };
    Capabilities(desktop.seat_capabilities);
}

Seat::~Seat()
{
    desktop_.capabilities_changed = nullptr;
    if (keyboard_) wl_keyboard_destroy(keyboard_);
    if (pointer_) wl_pointer_destroy(pointer_);
    if (cursor_surface_) wl_surface_destroy(cursor_surface_);
    if (cursor_theme_) wl_cursor_theme_destroy(cursor_theme_);
}

const wl_keyboard_listener SeatListeners::kKeyboard = {
    // The keymap, in shared memory.
    [](void *data, wl_keyboard *, uint32_t format, int32_t fd, uint32_t size) {
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
            void *map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) {
                Of(data).keys_.Load(std::string_view(static_cast<char *>(map), size));
                munmap(map, size);
            }
        }
        close(fd);
    },
    [](void *data, wl_keyboard *, uint32_t serial, wl_surface *, wl_array *) {
        Of(data).serial_ = serial;
        Of(data).events_.push_back(EventOf(InputEvent::Kind::kActivate));
    },
    [](void *data, wl_keyboard *, uint32_t, wl_surface *) {
        Of(data).repeat_key_ = 0;
        Of(data).events_.push_back(EventOf(InputEvent::Kind::kDeactivate));
    },
    [](void *data, wl_keyboard *, uint32_t serial, uint32_t, uint32_t key, uint32_t state) {
        Seat &seat = Of(data);
        const uint32_t code = key + 8;  // evdev's codes, as xkbcommon numbers them
        seat.serial_ = serial;
        if (state != WL_KEYBOARD_KEY_STATE_PRESSED) {
            if (code == seat.repeat_key_) seat.repeat_key_ = 0;
            return;
        }
        seat.keys_.Press(code, &seat.events_);
        seat.repeat_key_ = seat.repeat_rate_ > 0 && seat.keys_.Repeats(code) ? code : 0;
        seat.repeat_at_ = Seat::Clock::now() + std::chrono::milliseconds(seat.repeat_delay_);
    },
    [](void *data, wl_keyboard *, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group) {
        Of(data).keys_.SetModifiers(depressed, latched, locked, group);
    },
    [](void *data, wl_keyboard *, int32_t rate, int32_t delay) {
        Of(data).repeat_rate_ = rate;
        Of(data).repeat_delay_ = delay;
    },
};

const wl_pointer_listener SeatListeners::kPointer = {
    [](void *data, wl_pointer *, uint32_t serial, wl_surface *, wl_fixed_t x, wl_fixed_t y) {
        Of(data).PointerAt(x, y);
        Of(data).ShowArrow(serial);
    },
    [](void *data, wl_pointer *, uint32_t, wl_surface *) { Of(data).button_held_ = false; },
    [](void *data, wl_pointer *, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        Seat &seat = Of(data);
        seat.PointerAt(x, y);
        if (seat.button_held_)
            seat.events_.push_back(EventOf(InputEvent::Kind::kDrag, seat.pointer_x_, seat.pointer_y_));
    },
    [](void *data, wl_pointer *, uint32_t serial, uint32_t time, uint32_t button, uint32_t state) {
        Of(data).Pressed(serial, time, button, state == WL_POINTER_BUTTON_STATE_PRESSED);
    },
    [](void *, wl_pointer *, uint32_t, uint32_t, wl_fixed_t) {},
    [](void *, wl_pointer *) {},
    [](void *, wl_pointer *, uint32_t) {},
    [](void *, wl_pointer *, uint32_t, uint32_t) {},
    [](void *, wl_pointer *, uint32_t, int32_t) {},
    [](void *, wl_pointer *, uint32_t, int32_t) {},
};

void Seat::Capabilities(uint32_t caps)
{
    const bool keyboard = caps & WL_SEAT_CAPABILITY_KEYBOARD, pointer = caps & WL_SEAT_CAPABILITY_POINTER;
    if (keyboard && !keyboard_) {
        keyboard_ = wl_seat_get_keyboard(desktop_.seat);
        wl_keyboard_add_listener(keyboard_, &SeatListeners::kKeyboard, this);
    } else if (!keyboard && keyboard_) {
        wl_keyboard_destroy(keyboard_);
        keyboard_ = nullptr;
        repeat_key_ = 0;
    }
    if (pointer && !pointer_) {
        pointer_ = wl_seat_get_pointer(desktop_.seat);
        wl_pointer_add_listener(pointer_, &SeatListeners::kPointer, this);
    } else if (!pointer && pointer_) {
        wl_pointer_destroy(pointer_);
        pointer_ = nullptr;
        button_held_ = false;
    }
}

void Seat::PointerAt(int32_t x, int32_t y)
{
    pointer_x_ = static_cast<int>(wl_fixed_to_double(x) * scale120_ / 120);
    pointer_y_ = static_cast<int>(wl_fixed_to_double(y) * scale120_ / 120);
}

// The cursor theme's arrow (XCURSOR_THEME and XCURSOR_SIZE as desktops set
// them; libwayland-cursor's own where there is no theme), at the window's
// scale.
void Seat::ShowArrow(uint32_t serial)
{
    const int scale = std::max(1, (scale120_ + 119) / 120);
    if (!cursor_theme_) {
        const char *size = std::getenv("XCURSOR_SIZE");
        const int points = size && std::atoi(size) > 0 ? std::atoi(size) : 24;
        cursor_theme_ = wl_cursor_theme_load(std::getenv("XCURSOR_THEME"), points * scale, desktop_.shm);
        cursor_surface_ = wl_compositor_create_surface(desktop_.compositor);
    }
    wl_cursor *cursor = cursor_theme_ ? wl_cursor_theme_get_cursor(cursor_theme_, "left_ptr") : nullptr;
    if (!cursor || cursor->image_count == 0) return;
    wl_cursor_image *image = cursor->images[0];
    wl_surface_set_buffer_scale(cursor_surface_, scale);
    wl_surface_attach(cursor_surface_, wl_cursor_image_get_buffer(image), 0, 0);
    wl_surface_damage(cursor_surface_, 0, 0, static_cast<int32_t>(image->width), static_cast<int32_t>(image->height));
    wl_surface_commit(cursor_surface_);
    wl_pointer_set_cursor(pointer_, serial, cursor_surface_, static_cast<int32_t>(image->hotspot_x) / scale,
                          static_cast<int32_t>(image->hotspot_y) / scale);
}

void Seat::Pressed(uint32_t serial, uint32_t time, uint32_t button, bool down)
{
    serial_ = serial;
    const int x = pointer_x_, y = pointer_y_;
    if (!down) {
        if (button == BTN_LEFT && button_held_) events_.push_back(EventOf(InputEvent::Kind::kRelease, x, y));
        if (button == BTN_LEFT) button_held_ = false;
        return;
    }
    if (taken && taken(x, y, button, serial)) return;
    if (button != BTN_LEFT) return;
    const int near = MulDivRounded(kDoubleClickPixels, scale120_, 120);
    const bool again = time - last_press_time_ <= kDoubleClickMs && std::abs(x - last_press_x_) <= near &&
                       std::abs(y - last_press_y_) <= near;
    presses_ = again ? presses_ + 1 : 1;
    last_press_time_ = time;
    last_press_x_ = x;
    last_press_y_ = y;
    button_held_ = true;
    events_.push_back(ClickEvent(x, y, keys_.Modifiers(), presses_ % 2 == 0 ? 2 : 1));
}

void Seat::Repeat(Clock::time_point now)
{
    if (!repeat_key_ || now < repeat_at_) return;
    keys_.Press(repeat_key_, &events_);
    repeat_at_ = now + std::chrono::milliseconds(1000 / std::max(1, repeat_rate_));
}

}  // namespace platform::wayland
