// The window on Wayland: an xdg-shell toplevel (app id rgbhsv, as the
// desktop entry is named, so the desktop finds its icon there) of the
// dialog's size, not resizable, drawn by the pixel device into shared
// memory at 96 DPI times the output's scale. An integer scale is the
// buffer's own (the buffer padded to a whole number of the compositor's
// pixels); a fractional one, where the compositor tells it, goes through
// a viewport sized so that the compositor resamples nothing. Moving to an
// output of another scale lays the dialog out afresh (the dialog
// manager's kRescale). Where the compositor decorates windows itself
// (xdg-decoration), its title bar is the dialog's; where it does not, the
// dialog draws its own frame and caption, a drag on the caption moves the
// window, its right button opens the compositor's window menu, and the
// close box closes. Keys and the pointer come from the seat
// (wayland_seat.h), the clipboard is the seat's. Wayland has no bell: a
// beep flashes the window, inverted for a moment.
// Leaves out: input methods (text-input), and keeping a copied number once
// the window has closed (no clipboard manager protocol is open to ordinary
// clients).
#include "wayland_screen.h"

#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <set>
#include <utility>

#include "atspi_bridge.h"
#include "fractional-scale.h"
#include "pixel_device.h"
#include "viewporter.h"
#include "wayland_desktop.h"
#include "wayland_seat.h"
#include "xdg-decoration.h"
#include "xdg-shell.h"

namespace platform::wayland {
namespace {

using Clock = std::chrono::steady_clock;

// How long a beep shows the window inverted.
constexpr auto kFlash = std::chrono::milliseconds(150);

// A buffer in shared memory that the compositor reads until it releases it.
struct Buffer {
    ~Buffer()
    {
        if (buffer) wl_buffer_destroy(buffer);
        if (pixels) munmap(pixels, bytes);
    }
    wl_buffer *buffer = nullptr;
    uint32_t *pixels = nullptr;
    size_t bytes = 0;
    int width = 0, height = 0;
    bool busy = false;
};

uint32_t Xrgb(Colour c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

class WaylandScreen : public Screen {
public:
    explicit WaylandScreen(std::unique_ptr<Desktop> desktop)
        : desktop_(std::move(desktop)), clipboard_(*desktop_), seat_(*desktop_, &events_),
          wake_fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
    }
    ~WaylandScreen() override
    {
        buffers_.clear();
        if (decoration_) zxdg_toplevel_decoration_v1_destroy(decoration_);
        if (viewport_) wp_viewport_destroy(viewport_);
        if (fractional_) wp_fractional_scale_v1_destroy(fractional_);
        if (toplevel_) xdg_toplevel_destroy(toplevel_);
        if (xdg_surface_) xdg_surface_destroy(xdg_surface_);
        if (surface_) wl_surface_destroy(surface_);
        wl_display_flush(desktop_->display);
        bridge_.reset();
        if (wake_fd_ >= 0) close(wake_fd_);
    }

    bool Open(std::string *error);
    // Screen readers told of it from now on.
    void Describe(const ControlNames &names)
    {
        bridge_ = std::make_unique<atspi::Bridge>(names, [fd = wake_fd_] {
            const uint64_t one = 1;
            if (fd >= 0 && write(fd, &one, sizeof one) < 0) {
            }
        });
    }

    Device *OwnDevice() override { return device_.get(); }
    int Width() const override { return device_->Width(); }
    int Height() const override { return device_->Height(); }
    void Fit(int width, int height) override { device_->Resize(width, height); }
    void ShowCaption(const std::string &caption) override { xdg_toplevel_set_title(toplevel_, caption.c_str()); }
    void Present() override { Draw(); }
    void Beep() override
    {
        flash_until_ = Clock::now() + kFlash;
        Draw();
    }
    bool NextInput(InputEvent *event) override;
    // A screen reader is told what the window shows (atspi_bridge.h); a
    // Wayland window does not know where it is on the screen.
    bool DescribesControls() const override { return bridge_ != nullptr; }
    void Describe(const std::vector<AccessibleNode> &nodes) override { bridge_->Describe(nodes, 0, 0, active_); }
    void Announce(const std::string &text) override { bridge_->Announce(text); }
    void WriteClipboard(const std::string &text) override { clipboard_.Write(text, seat_.Serial()); }
    std::string ReadClipboard() override { return clipboard_.Read(); }

private:
    int Dpi() const { return MulDivRounded(96, scale120_, 120); }
    // Where the compositor's pixels are not the surface's: a buffer padded
    // to the next whole surface pixel, at the integer scale or through the
    // viewport.
    void Sizes(int *buffer_w, int *buffer_h, int *surface_w, int *surface_h) const;
    Buffer *FreeBuffer(int width, int height);
    void Draw();
    void Rescale(int scale120);
    void ScaleFromOutputs();
    bool TakePress(int x, int y, uint32_t button, uint32_t serial);
    bool Wait();

    static const wl_surface_listener kSurfaceListener;
    static const xdg_surface_listener kXdgSurfaceListener;
    static const xdg_toplevel_listener kToplevelListener;
    static const zxdg_toplevel_decoration_v1_listener kDecorationListener;
    static const wp_fractional_scale_v1_listener kFractionalListener;
    static const wl_buffer_listener kBufferListener;

    std::unique_ptr<Desktop> desktop_;
    Clipboard clipboard_;
    std::deque<InputEvent> events_;
    Seat seat_;
    int wake_fd_;           // written when a screen reader's request waits
    std::unique_ptr<atspi::Bridge> bridge_;
    bool active_ = false;   // the window has the keyboard
    std::unique_ptr<PixelDevice> device_;
    wl_surface *surface_ = nullptr;
    xdg_surface *xdg_surface_ = nullptr;
    xdg_toplevel *toplevel_ = nullptr;
    zxdg_toplevel_decoration_v1 *decoration_ = nullptr;
    wp_fractional_scale_v1 *fractional_ = nullptr;
    wp_viewport *viewport_ = nullptr;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    bool configured_ = false;
    bool server_frames_ = false;     // the compositor draws the title bar
    bool closed_ = false;
    bool redraw_ = false;            // a frame waits for a buffer
    int scale120_ = 120;             // the scale drawn at, in 120ths
    int next_scale120_ = 0;          // ... and one to lay out at next, if any
    std::set<wl_output *> entered_;  // the outputs the window is on
    int surface_w_ = 0, surface_h_ = 0;
    Clock::time_point flash_until_{};

};

const wl_surface_listener WaylandScreen::kSurfaceListener = {
    [](void *data, wl_surface *, wl_output *output) {
        static_cast<WaylandScreen *>(data)->entered_.insert(output);
        static_cast<WaylandScreen *>(data)->ScaleFromOutputs();
    },
    [](void *data, wl_surface *, wl_output *output) {
        static_cast<WaylandScreen *>(data)->entered_.erase(output);
        static_cast<WaylandScreen *>(data)->ScaleFromOutputs();
    },
};

const xdg_surface_listener WaylandScreen::kXdgSurfaceListener = {
    [](void *data, xdg_surface *surface, uint32_t serial) {
        auto *self = static_cast<WaylandScreen *>(data);
        xdg_surface_ack_configure(surface, serial);
        const bool first = !self->configured_;
        self->configured_ = true;
        if (!first) self->Draw();
    },
};

const xdg_toplevel_listener WaylandScreen::kToplevelListener = {
    [](void *, xdg_toplevel *, int32_t, int32_t, wl_array *) {},
    [](void *data, xdg_toplevel *) { static_cast<WaylandScreen *>(data)->events_.push_back(CloseEvent()); },
    [](void *, xdg_toplevel *, int32_t, int32_t) {},
    [](void *, xdg_toplevel *, wl_array *) {},
};

const zxdg_toplevel_decoration_v1_listener WaylandScreen::kDecorationListener = {
    [](void *data, zxdg_toplevel_decoration_v1 *, uint32_t mode) {
        static_cast<WaylandScreen *>(data)->server_frames_ = mode == ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE;
    },
};

const wp_fractional_scale_v1_listener WaylandScreen::kFractionalListener = {
    [](void *data, wp_fractional_scale_v1 *, uint32_t scale) {
        static_cast<WaylandScreen *>(data)->Rescale(static_cast<int>(scale));
    },
};

const wl_buffer_listener WaylandScreen::kBufferListener = {
    [](void *data, wl_buffer *) { static_cast<Buffer *>(data)->busy = false; },
};

bool WaylandScreen::Open(std::string *error)
{
    const Desktop &d = *desktop_;
    surface_ = wl_compositor_create_surface(d.compositor);
    wl_surface_add_listener(surface_, &kSurfaceListener, this);
    if (d.fractional_scales && d.viewporter) {
        fractional_ = wp_fractional_scale_manager_v1_get_fractional_scale(d.fractional_scales, surface_);
        wp_fractional_scale_v1_add_listener(fractional_, &kFractionalListener, this);
        viewport_ = wp_viewporter_get_viewport(d.viewporter, surface_);
    }
    xdg_surface_ = xdg_wm_base_get_xdg_surface(d.shell, surface_);
    xdg_surface_add_listener(xdg_surface_, &kXdgSurfaceListener, this);
    toplevel_ = xdg_surface_get_toplevel(xdg_surface_);
    xdg_toplevel_add_listener(toplevel_, &kToplevelListener, this);
    xdg_toplevel_set_app_id(toplevel_, "rgbhsv");
    if (d.decorations) {
        decoration_ = zxdg_decoration_manager_v1_get_toplevel_decoration(d.decorations, toplevel_);
        zxdg_toplevel_decoration_v1_add_listener(decoration_, &kDecorationListener, this);
        zxdg_toplevel_decoration_v1_set_mode(decoration_, ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
    }
    desktop_->outputs_changed = [this] { ScaleFromOutputs(); };
    seat_.taken = [this](int x, int y, uint32_t button, uint32_t serial) { return TakePress(x, y, button, serial); };
    // The first configure says whether the compositor draws the title bar,
    // which decides how the device draws the dialog.
    wl_surface_commit(surface_);
    for (int round = 0; round < 4 && !configured_; round++)
        if (wl_display_roundtrip(d.display) < 0) break;
    if (!configured_) {
        *error = "the Wayland compositor did not configure the window";
        return false;
    }
    // Until the window is on an output, the scale of the outputs there are.
    int scale = 1;
    for (const auto &output : d.outputs) scale = std::max(scale, output->scale);
    scale120_ = scale * 120;
    seat_.SetScale(scale120_);
    device_ = PixelDevice::Open(TahomaFile(), 1, 1, Dpi(), error,
                                server_frames_ ? PixelDevice::kFramedByDesktop : PixelDevice::kDrawsFrames);
    return device_ != nullptr;
}

void WaylandScreen::Sizes(int *buffer_w, int *buffer_h, int *surface_w, int *surface_h) const
{
    const int w = device_->Width(), h = device_->Height();
    if (viewport_) {
        *surface_w = (w * 120 + scale120_ - 1) / scale120_;
        *surface_h = (h * 120 + scale120_ - 1) / scale120_;
        *buffer_w = std::max(w, MulDivRounded(*surface_w, scale120_, 120));
        *buffer_h = std::max(h, MulDivRounded(*surface_h, scale120_, 120));
        return;
    }
    const int scale = scale120_ / 120;
    *surface_w = (w + scale - 1) / scale;
    *surface_h = (h + scale - 1) / scale;
    *buffer_w = *surface_w * scale;
    *buffer_h = *surface_h * scale;
}

Buffer *WaylandScreen::FreeBuffer(int width, int height)
{
    for (auto &b : buffers_)
        if (!b->busy && b->width == width && b->height == height) return b.get();
    // One of another size, not in use, is made again; otherwise one more
    // (the compositor may hold two).
    auto spare = std::find_if(buffers_.begin(), buffers_.end(), [](const auto &b) { return !b->busy; });
    if (spare != buffers_.end()) buffers_.erase(spare);
    if (buffers_.size() >= 3) return nullptr;
    auto buffer = std::make_unique<Buffer>();
    buffer->width = width;
    buffer->height = height;
    buffer->bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    const int fd = memfd_create("rgbhsv-window", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    if (ftruncate(fd, static_cast<off_t>(buffer->bytes)) != 0) {
        close(fd);
        return nullptr;
    }
    void *pixels = mmap(nullptr, buffer->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    buffer->pixels = static_cast<uint32_t *>(pixels);
    wl_shm_pool *pool = wl_shm_create_pool(desktop_->shm, fd, static_cast<int32_t>(buffer->bytes));
    buffer->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(buffer->buffer, &kBufferListener, buffer.get());
    buffers_.push_back(std::move(buffer));
    return buffers_.back().get();
}

// The device's image, the caret over it, in a buffer the compositor shows.
void WaylandScreen::Draw()
{
    if (!configured_ || closed_) return;
    int bw, bh, sw, sh;
    Sizes(&bw, &bh, &sw, &sh);
    // Every buffer still the compositor's: drawn again once one comes back.
    Buffer *buffer = FreeBuffer(bw, bh);
    redraw_ = !buffer;
    if (!buffer) return;
    const int w = device_->Width(), h = device_->Height();
    const Box caret = device_->CaretVisible() ? device_->CaretBox() : Box{};
    const Colour flash = Clock::now() < flash_until_ ? 0xFFFFFF : 0;
    for (int y = 0; y < bh; y++) {
        uint32_t *row = buffer->pixels + static_cast<size_t>(y) * static_cast<size_t>(bw);
        for (int x = 0; x < bw; x++) {
            Colour c = x < w && y < h ? device_->At(x, y) : kColourFace;
            if (caret.Contains(x, y)) c ^= 0xFFFFFF;
            row[x] = Xrgb(c ^ flash);
        }
    }
    if (sw != surface_w_ || sh != surface_h_) {
        // Not resizable: the compositor is asked for this size and no other.
        xdg_toplevel_set_min_size(toplevel_, sw, sh);
        xdg_toplevel_set_max_size(toplevel_, sw, sh);
        xdg_surface_set_window_geometry(xdg_surface_, 0, 0, sw, sh);
        surface_w_ = sw;
        surface_h_ = sh;
    }
    if (viewport_) {
        wl_surface_set_buffer_scale(surface_, 1);
        wp_viewport_set_destination(viewport_, sw, sh);
    } else {
        wl_surface_set_buffer_scale(surface_, scale120_ / 120);
    }
    wl_surface_attach(surface_, buffer->buffer, 0, 0);
    if (wl_proxy_get_version(reinterpret_cast<wl_proxy *>(surface_)) >= 4)
        wl_surface_damage_buffer(surface_, 0, 0, bw, bh);
    else
        wl_surface_damage(surface_, 0, 0, sw, sh);
    wl_surface_commit(surface_);
    buffer->busy = true;
    wl_display_flush(desktop_->display);
}

// A scale told by the compositor, in 120ths: the dialog is laid out at it
// before the next event is taken.
void WaylandScreen::Rescale(int scale120)
{
    if (scale120 > 0 && scale120 != scale120_) next_scale120_ = scale120;
}

// Without a fractional scale: the largest of the outputs the window is on,
// as it would be sharp on each.
void WaylandScreen::ScaleFromOutputs()
{
    if (fractional_ || entered_.empty()) return;
    int scale = 1;
    for (const auto &output : desktop_->outputs)
        if (entered_.count(output->output)) scale = std::max(scale, output->scale);
    Rescale(scale * 120);
}

// The dialog's own caption, where the compositor draws none: a press there
// moves the window, or shows its menu; the close box is the dialog's.
bool WaylandScreen::TakePress(int x, int y, uint32_t button, uint32_t serial)
{
    if (server_frames_) return false;
    const Box bar = device_->CaptionBar(Box{0, 0, device_->Width(), device_->Height()});
    if (!bar.Contains(x, y) || device_->CloseBoxIn(bar).Contains(x, y)) return false;
    if (button == BTN_LEFT) xdg_toplevel_move(toplevel_, desktop_->seat, serial);
    if (button == BTN_RIGHT)
        xdg_toplevel_show_window_menu(toplevel_, desktop_->seat, serial, x * 120 / scale120_, y * 120 / scale120_);
    return true;
}

// Waits for the compositor's next events, a key's repeat or the end of a
// flash, and takes them; false once the connection is lost.
bool WaylandScreen::Wait()
{
    wl_display *display = desktop_->display;
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return false;
    wl_display_flush(display);
    const Clock::time_point now = Clock::now();
    Clock::time_point until = Clock::time_point::max();
    until = std::min(until, seat_.NextRepeat());
    if (flash_until_ > now) until = std::min(until, flash_until_);
    int timeout = -1;
    if (until != Clock::time_point::max())
        timeout = static_cast<int>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1));
    pollfd p[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    if (poll(p, wake_fd_ >= 0 ? 2 : 1, timeout) > 0 && (p[0].revents & POLLIN)) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
        if (p[0].revents & (POLLERR | POLLHUP)) return false;
    }
    if (p[1].revents & POLLIN) {
        uint64_t count;
        if (read(wake_fd_, &count, sizeof count) < 0) {
        }
    }
    if (wl_display_dispatch_pending(display) < 0) return false;
    if (redraw_) Draw();
    const Clock::time_point later = Clock::now();
    if (flash_until_ != Clock::time_point{} && later >= flash_until_) {
        flash_until_ = {};
        Draw();
    }
    seat_.Repeat(later);
    return true;
}

bool WaylandScreen::NextInput(InputEvent *event)
{
    for (;;) {
        if (next_scale120_) {
            std::string error;
            const int scale120 = std::exchange(next_scale120_, 0);
            auto device = PixelDevice::Open(TahomaFile(), 1, 1, MulDivRounded(96, scale120, 120), &error,
                                            server_frames_ ? PixelDevice::kFramedByDesktop : PixelDevice::kDrawsFrames);
            if (device) {
                scale120_ = scale120;
                seat_.SetScale(scale120);
                device_ = std::move(device);
                *event = EventOf(InputEvent::Kind::kRescale);
                return true;
            }
        }
        if (bridge_ && bridge_->TakeRequest(event)) return true;
        if (!events_.empty()) {
            *event = events_.front();
            events_.pop_front();
            if (event->kind == InputEvent::Kind::kActivate || event->kind == InputEvent::Kind::kDeactivate)
                active_ = event->kind == InputEvent::Kind::kActivate;
            return true;
        }
        if (!Wait()) {
            closed_ = true;
            return false;
        }
    }
}

}  // namespace

std::unique_ptr<Screen> OpenScreen(const ControlNames &names, std::string *error)
{
    auto desktop = Connect(error);
    if (!desktop) return nullptr;
    auto screen = std::make_unique<WaylandScreen>(std::move(desktop));
    if (!screen->Open(error)) return nullptr;
    screen->Describe(names);
    return screen;
}

}  // namespace platform::wayland
