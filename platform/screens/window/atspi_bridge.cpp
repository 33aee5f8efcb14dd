// AT-SPI2 over libdbus. The bridge's thread asks the session bus for the
// accessibility bus, connects, embeds the application in the registry's
// desktop, and then serves requests and sends events from a poll of its
// own (the connection's sockets and a wake-up eventfd), so that it sleeps
// until there is something to do. The window's thread only hands it
// descriptions, announcements and, back, requests, under one lock.
// Objects: /org/a11y/atspi/accessible/root the application, .../0 the
// dialog's frame, .../N the dialog's N-th node.
// Leaves out: the cache interface (screen readers ask each object), text
// attributes, per-character extents (a character's are its field's),
// editing other than replacing a field's text, actions.
#include "atspi_bridge.h"

#include <dbus/dbus.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "atspi_objects.h"

namespace platform::atspi {

struct Bridge::State {
    std::function<void()> wake;
    int wake_fd = -1;
    std::thread thread;
    std::atomic<bool> stopping{false};

    std::mutex mutex;  // guards what follows
    Snapshot shown;
    std::vector<Signal> outgoing;
    std::deque<InputEvent> requests;

    // The bridge's thread's own.
    DBusConnection *bus = nullptr;
    std::vector<DBusWatch *> watches;

    void Run();
    bool Connect();
    void Serve();
    void Send(const Signal &signal);
};

namespace {

DBusHandlerResult Handle(DBusConnection *connection, DBusMessage *message, void *data)
{
    auto &state = *static_cast<Bridge::State *>(data);
    if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    std::vector<InputEvent> requested;
    DBusMessage *reply;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        reply = Answer(state.shown, dbus_bus_get_unique_name(connection), message, &requested);
        state.requests.insert(state.requests.end(), requested.begin(), requested.end());
    }
    if (!reply) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    dbus_connection_send(connection, reply, nullptr);
    dbus_message_unref(reply);
    if (!requested.empty() && state.wake) state.wake();
    return DBUS_HANDLER_RESULT_HANDLED;
}

// A call on the session or accessibility bus that waits at most `ms` for
// its answer: the accessibility bus may take half a second to start.
DBusMessage *Call(DBusConnection *bus, DBusMessage *call, int ms)
{
    DBusError error;
    dbus_error_init(&error);
    DBusMessage *reply = dbus_connection_send_with_reply_and_block(bus, call, ms, &error);
    dbus_message_unref(call);
    dbus_error_free(&error);
    return reply;
}

}  // namespace

bool Bridge::State::Connect()
{
    // Only a session bus that is there: libdbus would otherwise start one
    // for the X display, for this program alone.
    const char *session_address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if ((!session_address || !*session_address) &&
        (!runtime || access((std::string(runtime) + "/bus").c_str(), F_OK) != 0))
        return false;
    DBusError error;
    dbus_error_init(&error);
    DBusConnection *session = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    dbus_error_free(&error);
    if (!session) return false;
    dbus_connection_set_exit_on_disconnect(session, FALSE);
    DBusMessage *reply =
        Call(session, dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"), 3000);
    std::string address;
    const char *text = nullptr;
    if (reply && dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID) && text)
        address = text;
    if (reply) dbus_message_unref(reply);
    dbus_connection_close(session);
    dbus_connection_unref(session);
    if (address.empty()) return false;

    dbus_error_init(&error);
    bus = dbus_connection_open_private(address.c_str(), &error);
    if (bus && !dbus_bus_register(bus, &error)) {
        dbus_connection_close(bus);
        dbus_connection_unref(bus);
        bus = nullptr;
    }
    dbus_error_free(&error);
    if (!bus) return false;
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    static const DBusObjectPathVTable vtable = {nullptr, Handle, nullptr, nullptr, nullptr, nullptr};
    dbus_connection_register_fallback(bus, kAccessiblePrefix, &vtable, this);

    // Embedded in the registry's desktop, which answers with itself: the
    // application's parent.
    DBusMessage *embed = dbus_message_new_method_call("org.a11y.atspi.Registry", kRootPath, "org.a11y.atspi.Socket", "Embed");
    DBusMessageIter args, ref;
    dbus_message_iter_init_append(embed, &args);
    const char *unique = dbus_bus_get_unique_name(bus), *root = kRootPath;
    dbus_message_iter_open_container(&args, DBUS_TYPE_STRUCT, nullptr, &ref);
    dbus_message_iter_append_basic(&ref, DBUS_TYPE_STRING, &unique);
    dbus_message_iter_append_basic(&ref, DBUS_TYPE_OBJECT_PATH, &root);
    dbus_message_iter_close_container(&args, &ref);
    reply = Call(bus, embed, 3000);
    std::lock_guard<std::mutex> lock(mutex);
    if (reply) {
        DBusMessageIter in, parent;
        const char *name = nullptr, *path = nullptr;
        if (dbus_message_iter_init(reply, &in) && dbus_message_iter_get_arg_type(&in) == DBUS_TYPE_STRUCT) {
            dbus_message_iter_recurse(&in, &parent);
            dbus_message_iter_get_basic(&parent, &name);
            dbus_message_iter_next(&parent);
            dbus_message_iter_get_basic(&parent, &path);
            if (name && path) shown.desktop = Ref{name, path};
        }
        dbus_message_unref(reply);
    }
    return true;
}

void Bridge::State::Send(const Signal &signal)
{
    if (DBusMessage *message = SignalMessage(shown.desktop, signal)) {
        dbus_connection_send(bus, message, nullptr);
        dbus_message_unref(message);
    }
}

// Sleeps in poll until the bus or the window has something: each watch of
// the connection's, and the wake-up.
void Bridge::State::Serve()
{
    dbus_connection_set_watch_functions(
        bus,
        [](DBusWatch *watch, void *data) -> dbus_bool_t {
            static_cast<State *>(data)->watches.push_back(watch);
            return TRUE;
        },
        [](DBusWatch *watch, void *data) {
            auto &watches = static_cast<State *>(data)->watches;
            for (auto it = watches.begin(); it != watches.end(); ++it)
                if (*it == watch) {
                    watches.erase(it);
                    break;
                }
        },
        nullptr, this, nullptr);
    dbus_connection_set_timeout_functions(
        bus, [](DBusTimeout *, void *) -> dbus_bool_t { return TRUE; }, [](DBusTimeout *, void *) {}, nullptr, nullptr,
        nullptr);
    while (!stopping && dbus_connection_get_is_connected(bus)) {
        std::vector<pollfd> fds{{wake_fd, POLLIN, 0}};
        std::vector<DBusWatch *> polled;
        for (DBusWatch *watch : watches) {
            if (!dbus_watch_get_enabled(watch)) continue;
            const unsigned flags = dbus_watch_get_flags(watch);
            fds.push_back({dbus_watch_get_unix_fd(watch),
                           static_cast<short>(((flags & DBUS_WATCH_READABLE) ? POLLIN : 0) |
                                              ((flags & DBUS_WATCH_WRITABLE) ? POLLOUT : 0)),
                           0});
            polled.push_back(watch);
        }
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        for (size_t i = 1; i < fds.size(); i++) {
            unsigned flags = 0;
            if (fds[i].revents & POLLIN) flags |= DBUS_WATCH_READABLE;
            if (fds[i].revents & POLLOUT) flags |= DBUS_WATCH_WRITABLE;
            if (fds[i].revents & POLLERR) flags |= DBUS_WATCH_ERROR;
            if (fds[i].revents & POLLHUP) flags |= DBUS_WATCH_HANGUP;
            if (flags) dbus_watch_handle(polled[i - 1], flags);
        }
        while (dbus_connection_dispatch(bus) == DBUS_DISPATCH_DATA_REMAINS) {
        }
        if (fds[0].revents & POLLIN) {
            uint64_t count;
            if (read(wake_fd, &count, sizeof count) < 0) {
            }
        }
        std::vector<Signal> signals;
        {
            std::lock_guard<std::mutex> lock(mutex);
            signals.swap(outgoing);
        }
        for (const Signal &signal : signals) Send(signal);
        dbus_connection_flush(bus);
    }
}

void Bridge::State::Run()
{
    dbus_threads_init_default();
    if (!Connect()) return;
    Serve();
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
}

Bridge::Bridge(ControlNames names, std::function<void()> wake) : state_(std::make_unique<State>())
{
    state_->shown.names = std::move(names);
    state_->wake = std::move(wake);
    state_->wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (state_->wake_fd < 0) return;
    state_->thread = std::thread([state = state_.get()] { state->Run(); });
}

Bridge::~Bridge()
{
    state_->stopping = true;
    const uint64_t one = 1;
    if (state_->wake_fd >= 0 && write(state_->wake_fd, &one, sizeof one) < 0) {
    }
    if (state_->thread.joinable()) state_->thread.join();
    if (state_->wake_fd >= 0) close(state_->wake_fd);
}

void Bridge::Describe(const std::vector<AccessibleNode> &nodes, int origin_x, int origin_y, bool active)
{
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        Snapshot next = state_->shown;
        // A close box the desktop draws is the desktop's to describe.
        next.nodes.clear();
        for (const AccessibleNode &node : nodes)
            if (node.role != AccessibleNode::Role::kCloseButton || (node.width > 0 && node.height > 0))
                next.nodes.push_back(node);
        next.origin_x = origin_x;
        next.origin_y = origin_y;
        next.active = active;
        Changes(state_->shown, next, &state_->outgoing);
        state_->shown = std::move(next);
        if (state_->outgoing.empty()) return;
    }
    const uint64_t one = 1;
    if (write(state_->wake_fd, &one, sizeof one) < 0) {
    }
}

void Bridge::Announce(const std::string &text)
{
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->outgoing.push_back(Announcement(text));
    }
    const uint64_t one = 1;
    if (write(state_->wake_fd, &one, sizeof one) < 0) {
    }
}

bool Bridge::TakeRequest(InputEvent *event)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->requests.empty()) return false;
    *event = state_->requests.front();
    state_->requests.pop_front();
    return true;
}

}  // namespace platform::atspi
