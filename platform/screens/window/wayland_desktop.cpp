// The compositor asked over its own protocol: one connection, the
// registry's globals read in one round trip, and closed again.
#include "wayland_desktop.h"

#include <wayland-client.h>

#include <cstring>

namespace platform::wayland {
namespace {

struct Globals {
    bool compositor = false, shm = false, shell = false, seat = false;
};

void Announced(void *data, wl_registry *, uint32_t, const char *interface, uint32_t)
{
    auto *globals = static_cast<Globals *>(data);
    if (std::strcmp(interface, "wl_compositor") == 0) globals->compositor = true;
    else if (std::strcmp(interface, "wl_shm") == 0) globals->shm = true;
    else if (std::strcmp(interface, "xdg_wm_base") == 0) globals->shell = true;
    else if (std::strcmp(interface, "wl_seat") == 0) globals->seat = true;
}

void Removed(void *, wl_registry *, uint32_t) {}

const wl_registry_listener kListener = {Announced, Removed};

}  // namespace

bool CanShowWindow(std::string *error)
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        *error = "no Wayland compositor answers";
        return false;
    }
    Globals globals;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, &globals);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!answered) *error = "the Wayland compositor stopped answering";
    else if (!globals.compositor || !globals.shm || !globals.shell)
        *error = "the Wayland compositor offers no desktop windows (no xdg-shell surfaces in shared memory)";
    else if (!globals.seat)
        *error = "the Wayland compositor has no seat: no keyboard or pointer to use a window with";
    else
        return true;
    return false;
}

}  // namespace platform::wayland
