// What the window screen asks of an X11 desktop itself, beside SDL: the
// display's DPI, whether it answers at all, where other windows of the
// program stand, errors about windows that have gone, and handing the
// clipboard to the desktop's clipboard manager before the window ends.
#ifndef RGBHSV_PLATFORM_X11_DESKTOP_H
#define RGBHSV_PLATFORM_X11_DESKTOP_H

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace platform::x11 {

// The display's name as Xlib reads DISPLAY (":0", say).
std::string DisplayName();

// Opens the display named by DISPLAY to ask it something; null, with the
// reason in *error, where no X server answers there.
Display *OpenDisplay(std::string *error);

// The DPI desktops set for their programs: Xft.dpi in the display's
// resource database; 96 without one.
int DesktopDpi(Display *display);

// From now on, an error about a window or drawable that has gone (a
// program that asked for the clipboard and quit, under load) is passed
// over; any other still ends the program as Xlib's default handler does.
void PassOverGoneWindows();

struct Point {
    int x, y;
};
// The top left corners, on the root window, of the other windows shown
// whose class is `class_name`, `self` aside.
std::vector<Point> WindowsOfClass(Display *display, Window self, const char *class_name);

// Where `owner` (on `display`) still owns the CLIPBOARD, holding `text`,
// and a clipboard manager runs, hands the text to the manager, as desktop
// toolkits do when their program ends (the freedesktop CLIPBOARD_MANAGER /
// SAVE_TARGETS convention): through a connection and a window of its own,
// which serve the manager's requests while `owner`'s are SDL's. Waits at
// most `timeout_ms` for the manager to say it has the text; true once it
// has.
bool HandClipboardToManager(Display *display, Window owner, const std::string &text, int timeout_ms);

}  // namespace platform::x11

#endif
