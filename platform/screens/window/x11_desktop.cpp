// The window screen's dealings with an X11 desktop that SDL does not
// cover: the display's DPI and name, errors about windows that have gone,
// where other windows of the program stand, and the clipboard manager.
// Leaves out: INCR transfers (a field's text is a few bytes), MULTIPLE.
#include "x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform::x11 {
namespace {

int (*g_default_handler)(Display *, XErrorEvent *) = nullptr;

int PassOverGone(Display *display, XErrorEvent *error)
{
    if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
    return g_default_handler ? g_default_handler(display, error) : 0;
}

Atom Intern(Display *display, const char *name)
{
    return XInternAtom(display, name, False);
}

// Answers one request for the selection we hold: its targets, or the text
// as UTF8_STRING (or STRING, where it is all ASCII); anything else is
// refused, as ICCCM says, by a notify with no property.
void Answer(Display *display, const XSelectionRequestEvent &request, const std::string &text)
{
    const Atom targets = Intern(display, "TARGETS"), utf8 = Intern(display, "UTF8_STRING");
    const bool ascii = std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    const Atom property = request.property != None ? request.property : request.target;
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = property;
    if (request.target == targets) {
        const Atom offered[] = {targets, utf8, XA_STRING};
        XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(offered), ascii ? 3 : 2);
    } else if (request.target == utf8 || (request.target == XA_STRING && ascii)) {
        XChangeProperty(display, request.requestor, property, request.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(text.data()), static_cast<int>(text.size()));
    } else {
        reply.property = None;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent *>(&reply));
}

}  // namespace

std::string DisplayName()
{
    return XDisplayName(nullptr);
}

Display *OpenDisplay(std::string *error)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display) *error = "no X server answers on display '" + DisplayName() + "'";
    return display;
}

int DesktopDpi(Display *display)
{
    int dpi = 96;
    if (const char *resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase db = XrmGetStringDatabase(resources);
        char *type = nullptr;
        XrmValue value;
        if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
            const int read = std::atoi(value.addr);
            if (read >= 48 && read <= 480) dpi = read;
        }
        if (db) XrmDestroyDatabase(db);
    }
    return dpi;
}

void PassOverGoneWindows()
{
    int (*previous)(Display *, XErrorEvent *) = XSetErrorHandler(PassOverGone);
    if (previous != PassOverGone) g_default_handler = previous;
}

std::vector<Point> WindowsOfClass(Display *display, Window self, const char *class_name)
{
    // The window manager's list of clients where it keeps one; the root's
    // children where none runs.
    std::vector<Window> candidates;
    const Window root = DefaultRootWindow(display);
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, root, Intern(display, "_NET_CLIENT_LIST"), 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success && data && format == 32) {
        const auto *windows = reinterpret_cast<const unsigned long *>(data);
        candidates.assign(windows, windows + count);
    }
    if (data) XFree(data);
    if (candidates.empty()) {
        Window root_again, parent, *children = nullptr;
        unsigned int n = 0;
        if (XQueryTree(display, root, &root_again, &parent, &children, &n)) candidates.assign(children, children + n);
        if (children) XFree(children);
    }
    std::vector<Point> found;
    for (Window w : candidates) {
        if (w == self) continue;
        XClassHint hint{};
        if (!XGetClassHint(display, w, &hint)) continue;
        const bool ours = hint.res_name && std::strcmp(hint.res_name, class_name) == 0;
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        XWindowAttributes attributes;
        if (!ours || !XGetWindowAttributes(display, w, &attributes) || attributes.map_state != IsViewable) continue;
        Window child;
        int x = 0, y = 0;
        if (XTranslateCoordinates(display, w, root, 0, 0, &x, &y, &child)) found.push_back(Point{x, y});
    }
    return found;
}

bool HandClipboardToManager(Display *display, Window owner, const std::string &text, int timeout_ms)
{
    const Atom clipboard = Intern(display, "CLIPBOARD"), manager = Intern(display, "CLIPBOARD_MANAGER");
    if (text.empty() || XGetSelectionOwner(display, clipboard) != owner || XGetSelectionOwner(display, manager) == None)
        return false;
    Display *own = XOpenDisplay(DisplayString(display));
    if (!own) return false;
    const Window window = XCreateSimpleWindow(own, DefaultRootWindow(own), 0, 0, 1, 1, 0, 0, 0);
    const Atom save = Intern(own, "SAVE_TARGETS"), property = Intern(own, "RGBHSV_SAVED");
    // A timestamp for the ownership, from a property change of our own.
    XSelectInput(own, window, PropertyChangeMask);
    XChangeProperty(own, window, property, XA_ATOM, 32, PropModeReplace, nullptr, 0);
    XEvent event;
    XWindowEvent(own, window, PropertyChangeMask, &event);
    const Time now = event.xproperty.time;
    XSetSelectionOwner(own, Intern(own, "CLIPBOARD"), window, now);
    // No list of targets in the property: the manager saves what it finds.
    XConvertSelection(own, Intern(own, "CLIPBOARD_MANAGER"), save, property, window, now);
    XFlush(own);

    bool saved = false, answered = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!answered) {
        while (!answered && XPending(own)) {
            XNextEvent(own, &event);
            if (event.type == SelectionRequest) {
                Answer(own, event.xselectionrequest, text);
            } else if (event.type == SelectionNotify && event.xselection.target == save) {
                answered = true;
                saved = event.xselection.property != None;
            }
        }
        XFlush(own);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (answered || left.count() <= 0) break;
        pollfd connection{ConnectionNumber(own), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left.count()));
    }
    XDestroyWindow(own, window);
    XCloseDisplay(own);
    return saved;
}

}  // namespace platform::x11
