// The connection to the compositor and the seat's clipboard.
// Leaves out: dragging and dropping (an offer dragged over the window is
// never accepted), the primary selection.
#include "wayland_desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "fractional-scale.h"
#include "viewporter.h"
#include "xdg-decoration.h"
#include "xdg-shell.h"

namespace platform::wayland {
namespace {

template <typename T>
T *Bind(wl_registry *registry, uint32_t name, const wl_interface *interface, uint32_t offered, uint32_t wanted)
{
    return static_cast<T *>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

void Destroy(void *proxy)
{
    if (proxy) wl_proxy_destroy(static_cast<wl_proxy *>(proxy));
}

const wl_output_listener kOutputListener = {
    [](void *, wl_output *, int32_t, int32_t, int32_t, int32_t, int32_t, const char *, const char *, int32_t) {},
    [](void *, wl_output *, uint32_t, int32_t, int32_t, int32_t) {},
    [](void *data, wl_output *) {
        const Desktop &d = *static_cast<Output *>(data)->desktop;
        if (d.outputs_changed) d.outputs_changed();
    },
    [](void *data, wl_output *, int32_t scale) { static_cast<Output *>(data)->scale = std::max(1, scale); },
    [](void *, wl_output *, const char *) {},
    [](void *, wl_output *, const char *) {},
};

const xdg_wm_base_listener kShellListener = {
    [](void *, xdg_wm_base *shell, uint32_t serial) { xdg_wm_base_pong(shell, serial); },
};

const wl_seat_listener kSeatListener = {
    [](void *data, wl_seat *, uint32_t caps) {
        Desktop &d = *static_cast<Desktop *>(data);
        d.seat_capabilities = caps;
        if (d.capabilities_changed) d.capabilities_changed(caps);
    },
    [](void *, wl_seat *, const char *) {},
};

void Announced(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    Desktop &d = *static_cast<Desktop *>(data);
    const auto is = [&](const wl_interface &i) { return std::strcmp(interface, i.name) == 0; };
    if (is(wl_compositor_interface)) d.compositor = Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    else if (is(wl_shm_interface)) d.shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    else if (is(wl_seat_interface) && !d.seat) {
        d.seat = Bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
        wl_seat_add_listener(d.seat, &kSeatListener, &d);
    }
    else if (is(wl_data_device_manager_interface))
        d.data_devices = Bind<wl_data_device_manager>(registry, name, &wl_data_device_manager_interface, version, 3);
    else if (is(zxdg_decoration_manager_v1_interface))
        d.decorations = Bind<zxdg_decoration_manager_v1>(registry, name, &zxdg_decoration_manager_v1_interface, version, 1);
    else if (is(wp_viewporter_interface)) d.viewporter = Bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    else if (is(wp_fractional_scale_manager_v1_interface))
        d.fractional_scales = Bind<wp_fractional_scale_manager_v1>(registry, name, &wp_fractional_scale_manager_v1_interface,
                                                                   version, 1);
    else if (is(xdg_wm_base_interface)) {
        d.shell = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 2);
        xdg_wm_base_add_listener(d.shell, &kShellListener, nullptr);
    } else if (is(wl_output_interface) && version >= 2) {
        auto output = std::make_unique<Output>();
        output->desktop = &d;
        output->name = name;
        output->output = Bind<wl_output>(registry, name, &wl_output_interface, version, 2);
        wl_output_add_listener(output->output, &kOutputListener, output.get());
        d.outputs.push_back(std::move(output));
    }
}

void Removed(void *data, wl_registry *, uint32_t name)
{
    auto &outputs = static_cast<Desktop *>(data)->outputs;
    for (auto it = outputs.begin(); it != outputs.end(); ++it)
        if ((*it)->name == name) {
            Destroy((*it)->output);
            outputs.erase(it);
            return;
        }
}

const wl_registry_listener kRegistryListener = {Announced, Removed};

// Writes all of `text` to `fd`; a reader that has gone raises no SIGPIPE.
void WriteAll(int fd, const std::string &text)
{
    sigset_t pipe_signal, old;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, &old);
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const timespec none{};
    sigtimedwait(&pipe_signal, nullptr, &none);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

// The types a text is offered as, the best first.
constexpr const char *kTextTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING", "TEXT"};

}  // namespace

Desktop::~Desktop()
{
    for (auto &output : outputs) Destroy(output->output);
    for (void *global : {static_cast<void *>(fractional_scales), static_cast<void *>(viewporter),
                         static_cast<void *>(decorations), static_cast<void *>(data_devices), static_cast<void *>(seat),
                         static_cast<void *>(shell), static_cast<void *>(shm), static_cast<void *>(compositor),
                         static_cast<void *>(registry)})
        Destroy(global);
    if (display) wl_display_disconnect(display);
}

std::unique_ptr<Desktop> Connect(std::string *error)
{
    auto desktop = std::make_unique<Desktop>();
    desktop->display = wl_display_connect(nullptr);
    if (!desktop->display) {
        *error = "no Wayland compositor answers";
        return nullptr;
    }
    desktop->registry = wl_display_get_registry(desktop->display);
    wl_registry_add_listener(desktop->registry, &kRegistryListener, desktop.get());
    // The globals, then what the outputs say of themselves.
    if (wl_display_roundtrip(desktop->display) < 0 || wl_display_roundtrip(desktop->display) < 0)
        *error = "the Wayland compositor stopped answering";
    else if (!desktop->compositor || !desktop->shm || !desktop->shell)
        *error = "the Wayland compositor offers no desktop windows (no xdg-shell surfaces in shared memory)";
    else if (!desktop->seat)
        *error = "the Wayland compositor has no seat: no keyboard or pointer to use a window with";
    else
        return desktop;
    return nullptr;
}

Clipboard::Clipboard(Desktop &desktop) : desktop_(desktop)
{
    if (!desktop.data_devices) return;
    static const wl_data_device_listener listener = {
        Offered,
        Dragged,
        DragLeft,
        [](void *, wl_data_device *, uint32_t, wl_fixed_t, wl_fixed_t) {},
        DragLeft,
        Selected,
    };
    device_ = wl_data_device_manager_get_data_device(desktop.data_devices, desktop.seat);
    wl_data_device_add_listener(device_, &listener, this);
}

Clipboard::~Clipboard()
{
    for (auto &[offer, type] : text_types_) wl_data_offer_destroy(offer);
    if (source_) wl_data_source_destroy(source_);
    Destroy(device_);
}

void Clipboard::Write(const std::string &text, uint32_t serial)
{
    if (!device_) return;
    static const wl_data_source_listener listener = {
        [](void *, wl_data_source *, const char *) {},
        Sent,
        Cancelled,
        [](void *, wl_data_source *) {},
        [](void *, wl_data_source *) {},
        [](void *, wl_data_source *, uint32_t) {},
    };
    if (source_) wl_data_source_destroy(source_);
    source_ = wl_data_device_manager_create_data_source(desktop_.data_devices);
    wl_data_source_add_listener(source_, &listener, this);
    for (const char *type : kTextTypes) wl_data_source_offer(source_, type);
    wl_data_device_set_selection(device_, source_, serial);
    text_ = text;
    wl_display_flush(desktop_.display);
}

std::string Clipboard::Read()
{
    if (source_) return text_;
    const auto found = text_types_.find(selection_);
    if (!selection_ || found == text_types_.end() || found->second.empty()) return "";
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return "";
    wl_data_offer_receive(selection_, found->second.c_str(), fds[1]);
    close(fds[1]);
    wl_display_flush(desktop_.display);
    // A field holds a few characters: enough is read for any paste, for at
    // most two seconds, from a program that may never answer.
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[4096];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
        if (text.size() > 65536) break;
    }
    close(fds[0]);
    return text;
}

void Clipboard::Sent(void *data, wl_data_source *, const char *, int32_t fd)
{
    WriteAll(fd, static_cast<Clipboard *>(data)->text_);
    close(fd);
}

void Clipboard::Cancelled(void *data, wl_data_source *source)
{
    auto *self = static_cast<Clipboard *>(data);
    wl_data_source_destroy(source);
    if (self->source_ == source) self->source_ = nullptr;
}

void Clipboard::Offered(void *data, wl_data_device *, wl_data_offer *offer)
{
    static const wl_data_offer_listener listener = {
        OfferedType,
        [](void *, wl_data_offer *, uint32_t) {},
        [](void *, wl_data_offer *, uint32_t) {},
    };
    static_cast<Clipboard *>(data)->text_types_[offer];
    wl_data_offer_add_listener(offer, &listener, data);
}

void Clipboard::OfferedType(void *data, wl_data_offer *offer, const char *mime)
{
    std::string &best = static_cast<Clipboard *>(data)->text_types_[offer];
    const auto rank = [](const std::string &type) {
        return std::find_if(std::begin(kTextTypes), std::end(kTextTypes), [&](const char *t) { return type == t; }) -
               std::begin(kTextTypes);
    };
    if (rank(mime) < rank(best)) best = mime;
}

void Clipboard::Selected(void *data, wl_data_device *, wl_data_offer *offer)
{
    auto *self = static_cast<Clipboard *>(data);
    if (self->selection_ && self->selection_ != offer) {
        self->text_types_.erase(self->selection_);
        wl_data_offer_destroy(self->selection_);
    }
    self->selection_ = offer;
}

void Clipboard::Dragged(void *data, wl_data_device *, uint32_t, wl_surface *, wl_fixed_t, wl_fixed_t,
                        wl_data_offer *offer)
{
    DragLeft(data, nullptr);
    static_cast<Clipboard *>(data)->dragged_ = offer;
}

void Clipboard::DragLeft(void *data, wl_data_device *)
{
    auto *self = static_cast<Clipboard *>(data);
    if (!self->dragged_) return;
    self->text_types_.erase(self->dragged_);
    wl_data_offer_destroy(self->dragged_);
    self->dragged_ = nullptr;
}

}  // namespace platform::wayland
