// Parts of a desktop that the window test needs and Xvfb lacks, each a
// plain Xlib client:
//   manager   a clipboard manager (the freedesktop CLIPBOARD_MANAGER
//             convention): asked to SAVE_TARGETS, it takes the CLIPBOARD's
//             text from its owner, owns the CLIPBOARD itself and serves the
//             text on; prints "saved TEXT" for each. Runs until killed.
//   vanishing-paste
//             asks for the CLIPBOARD's text and destroys its window before
//             any answer can come, as a program that quits at once.
//   numlock on|off
//             sets the keyboard's NumLock, as its key would, whatever it was.
// usage: desktop_parts manager | vanishing-paste | numlock on|off
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

Atom Intern(Display *display, const char *name)
{
    return XInternAtom(display, name, False);
}

// A timestamp of the server's, from a property change on `window`.
Time ServerTime(Display *display, Window window)
{
    XSelectInput(display, window, PropertyChangeMask);
    XChangeProperty(display, window, XA_WM_NAME, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(display, window, PropertyChangeMask, &event);
    return event.xproperty.time;
}

std::string ReadProperty(Display *display, Window window, Atom property)
{
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string out;
    if (XGetWindowProperty(display, window, property, 0, 1 << 16, True, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success && data) {
        // Xlib hands 32-bit items over as longs.
        out.assign(reinterpret_cast<const char *>(data), count * (format == 32 ? sizeof(long) : format / 8));
        XFree(data);
    }
    return out;
}

void Notify(Display *display, const XSelectionRequestEvent &request, Atom property)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.property = property;
    reply.time = request.time;
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent *>(&reply));
    XFlush(display);
}

int Manager(Display *display)
{
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = Intern(display, "CLIPBOARD"), manager = Intern(display, "CLIPBOARD_MANAGER");
    const Atom save = Intern(display, "SAVE_TARGETS"), targets = Intern(display, "TARGETS");
    const Atom utf8 = Intern(display, "UTF8_STRING"), fetched = Intern(display, "FETCHED");
    XSetSelectionOwner(display, manager, window, ServerTime(display, window));
    if (XGetSelectionOwner(display, manager) != window) return 1;
    std::puts("ready");
    std::fflush(stdout);
    std::string text;
    XSelectionRequestEvent saving{};
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionRequest) {
            const XSelectionRequestEvent &request = event.xselectionrequest;
            const Atom property = request.property != None ? request.property : request.target;
            if (request.selection == manager && request.target == save) {
                saving = request;
                XConvertSelection(display, clipboard, targets, fetched, window, request.time);
            } else if (request.selection == clipboard && request.target == targets) {
                const Atom offered[] = {targets, utf8};
                XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char *>(offered), 2);
                Notify(display, request, property);
            } else if (request.selection == clipboard && request.target == utf8) {
                XChangeProperty(display, request.requestor, property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char *>(text.data()), static_cast<int>(text.size()));
                Notify(display, request, property);
            } else {
                Notify(display, request, None);
            }
        } else if (event.type == SelectionNotify && event.xselection.selection == clipboard) {
            if (event.xselection.target == targets) {
                // The owner's targets: the text is asked for as UTF-8, where
                // it offers that.
                const std::string list = ReadProperty(display, window, fetched);
                bool has_utf8 = false;
                for (size_t i = 0; i + sizeof(long) <= list.size(); i += sizeof(long)) {
                    long atom;
                    std::memcpy(&atom, list.data() + i, sizeof atom);
                    has_utf8 = has_utf8 || static_cast<Atom>(atom) == utf8;
                }
                if (has_utf8 && event.xselection.property != None)
                    XConvertSelection(display, clipboard, utf8, fetched, window, saving.time);
                else
                    Notify(display, saving, None);
            } else if (event.xselection.target == utf8) {
                const bool got = event.xselection.property != None;
                if (got) {
                    text = ReadProperty(display, window, fetched);
                    XSetSelectionOwner(display, clipboard, window, saving.time);
                    std::printf("saved %s\n", text.c_str());
                    std::fflush(stdout);
                }
                Notify(display, saving, got ? (saving.property != None ? saving.property : save) : None);
            }
        }
    }
}

int VanishingPaste(Display *display)
{
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(display, Intern(display, "CLIPBOARD"), Intern(display, "UTF8_STRING"),
                      Intern(display, "PASTED"), window, CurrentTime);
    XDestroyWindow(display, window);
    XSync(display, False);
    return 0;
}

int NumLock(Display *display, bool on)
{
    const unsigned int mask = XkbKeysymToModifiers(display, XK_Num_Lock);
    const bool set = mask && XkbLockModifiers(display, XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(display, False);
    return set ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv)
{
    Display *display = argc >= 2 ? XOpenDisplay(nullptr) : nullptr;
    if (display && argc == 2 && std::strcmp(argv[1], "manager") == 0) return Manager(display);
    if (display && argc == 2 && std::strcmp(argv[1], "vanishing-paste") == 0) return VanishingPaste(display);
    if (display && argc == 3 && std::strcmp(argv[1], "numlock") == 0) return NumLock(display, std::strcmp(argv[2], "on") == 0);
    std::fprintf(stderr, "usage: desktop_parts manager | vanishing-paste | numlock on|off, on an X display\n");
    return 2;
}
