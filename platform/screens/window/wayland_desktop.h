// What the Wayland window asks of the compositor apart from the window
// itself: the connection and the globals it offers (whether a window can be
// shown there at all, the outputs' scales), and the clipboard of its seat.
#ifndef RGBHSV_PLATFORM_WAYLAND_DESKTOP_H
#define RGBHSV_PLATFORM_WAYLAND_DESKTOP_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_compositor;
struct wl_shm;
struct wl_seat;
struct wl_surface;
struct wl_output;
struct wl_data_device_manager;
struct wl_data_device;
struct wl_data_offer;
struct wl_data_source;
struct xdg_wm_base;
struct zxdg_decoration_manager_v1;
struct wp_viewporter;
struct wp_fractional_scale_manager_v1;

namespace platform::wayland {

struct Desktop;

struct Output {
    Desktop *desktop = nullptr;
    wl_output *output = nullptr;
    uint32_t name = 0;
    int scale = 1;
};

// One connection to the compositor named by WAYLAND_DISPLAY and the globals
// it offers; those it lacks are null.
struct Desktop {
    ~Desktop();
    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    wl_compositor *compositor = nullptr;
    wl_shm *shm = nullptr;
    xdg_wm_base *shell = nullptr;
    wl_seat *seat = nullptr;
    wl_data_device_manager *data_devices = nullptr;
    zxdg_decoration_manager_v1 *decorations = nullptr;
    wp_viewporter *viewporter = nullptr;
    wp_fractional_scale_manager_v1 *fractional_scales = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    // What the seat has (wl_seat's capability bits), as it changes, and who
    // is told of each change.
    uint32_t seat_capabilities = 0;
    std::function<void(uint32_t)> capabilities_changed;
    // ... and who is told when an output has said what it is now (its
    // scale changed, say).
    std::function<void()> outputs_changed;
};

// Connects and reads the globals, and the outputs' scales; null, with the
// reason in *error, where no compositor answers or it lacks what a window
// of ours needs (a compositor, shared memory, the xdg-shell, a seat).
std::unique_ptr<Desktop> Connect(std::string *error);

// The seat's clipboard (its selection): text put there for other programs,
// and the text they put there, read through a pipe.
class Clipboard {
public:
    explicit Clipboard(Desktop &desktop);
    ~Clipboard();
    Clipboard(const Clipboard &) = delete;
    Clipboard &operator=(const Clipboard &) = delete;

    // Offers `text` as the selection, `serial` being the input event that
    // asked for it.
    void Write(const std::string &text, uint32_t serial);
    // The selection's text: ours where we hold it; another program's, read
    // within a second or two; empty where there is none.
    std::string Read();

private:
    static void Sent(void *data, wl_data_source *source, const char *mime, int32_t fd);
    static void Cancelled(void *data, wl_data_source *source);
    static void Offered(void *data, wl_data_device *device, wl_data_offer *offer);
    static void Selected(void *data, wl_data_device *device, wl_data_offer *offer);
    static void OfferedType(void *data, wl_data_offer *offer, const char *mime);
    static void Dragged(void *data, wl_data_device *device, uint32_t serial, wl_surface *surface,
                        int32_t x, int32_t y, wl_data_offer *offer);
    static void DragLeft(void *data, wl_data_device *device);

    Desktop &desktop_;
    wl_data_device *device_ = nullptr;
    wl_data_source *source_ = nullptr;  // ours, while it is the selection
    std::string text_;                  // ... and what it holds
    wl_data_offer *selection_ = nullptr;
    wl_data_offer *dragged_ = nullptr;
    std::map<wl_data_offer *, std::string> text_types_;  // each offer's best type for text, if any
};

}  // namespace platform::wayland

#endif
