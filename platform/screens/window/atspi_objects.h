// The AT-SPI2 objects of the window, as pure functions of what the window
// shows (a Snapshot): each D-Bus call answered, and what changes between
// two snapshots sent as events. No connection here: atspi_bridge.cpp
// carries the messages.
#ifndef RGBHSV_PLATFORM_ATSPI_OBJECTS_H
#define RGBHSV_PLATFORM_ATSPI_OBJECTS_H

#include <string>
#include <vector>

#include "screen.h"

struct DBusMessage;

namespace platform::atspi {

constexpr const char *kAccessiblePrefix = "/org/a11y/atspi/accessible";
constexpr const char *kRootPath = "/org/a11y/atspi/accessible/root";

// An accessible object elsewhere: its bus name and path.
struct Ref {
    std::string name, path;
};

// What the window shows: its nodes (the first the dialog, then its
// controls; in the window's pixels), where its content lies on the screen,
// whether it has the keyboard, and the registry's desktop, its parent.
struct Snapshot {
    ControlNames names;
    std::vector<AccessibleNode> nodes;
    int origin_x = 0, origin_y = 0;
    bool active = false;
    Ref desktop{"", "/org/a11y/atspi/null"};
};

// One event: on object -1 (the application), 0 (the frame) or N (node N).
struct Signal {
    int object = 0;
    std::string interface, member, minor;
    int detail1 = 0, detail2 = 0;
    bool text_value = false;  // the event's value a string (else an int, 0)
    std::string text;
};

// The answer to a method call on one of the objects, or null where it is
// none of theirs. What a screen reader asked to be done (focus a field,
// set its text) is appended to `requests` as the input a person would give.
DBusMessage *Answer(const Snapshot &shown, const char *own_name, DBusMessage *call, std::vector<InputEvent> *requests);

// The events that tell a screen reader how `after` differs from `before`,
// in the order it relies on: the window's activation, the focus, then each
// field's text, caret and selection, then names.
void Changes(const Snapshot &before, const Snapshot &after, std::vector<Signal> *out);

// Something to be said at once, as a live region's "assertive" text.
Signal Announcement(const std::string &text);

// The signal's message, from the object's path.
DBusMessage *SignalMessage(const Ref &desktop, const Signal &signal);

// The name a screen reader hears for node `index`.
std::string NameOf(const Snapshot &shown, int index);

}  // namespace platform::atspi

#endif
