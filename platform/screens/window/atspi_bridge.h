// The desktop window for screen readers on Linux: AT-SPI2, the D-Bus
// protocol Orca and every assistive tool there speak, served over libdbus
// from the description the window system gives every screen (the dialog's
// controls as accessible nodes). An application "rgbhsv" holds a frame,
// the dialog, whose controls are its children: the fields single-line
// editable text with a value of 0 to 255, the labels, the swatch an image
// named by its colour, the buttons. What changes between two descriptions
// is sent as the events screen readers follow, the focus's first; a
// screen reader's own requests (focusing a field, setting its text) come
// back as the keys and clicks a person would give.
#ifndef RGBHSV_PLATFORM_ATSPI_BRIDGE_H
#define RGBHSV_PLATFORM_ATSPI_BRIDGE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "screen.h"

namespace platform::atspi {

class Bridge {
public:
    // Asks for the accessibility bus and serves it from a thread of its
    // own, so that a bus still starting never holds up the window; `wake`
    // is called from that thread when a request waits for TakeRequest.
    // Where there is no session bus or no accessibility bus, the bridge
    // stays idle and costs nothing more.
    Bridge(ControlNames names, std::function<void()> wake);
    ~Bridge();
    Bridge(const Bridge &) = delete;
    Bridge &operator=(const Bridge &) = delete;

    // What the window shows now (nodes in its pixels), where its content's
    // top left is on the screen, and whether it has the keyboard.
    void Describe(const std::vector<AccessibleNode> &nodes, int origin_x, int origin_y, bool active);
    // Something said aloud at once: a refused number and what it became.
    void Announce(const std::string &text);
    // The next input event a screen reader's request has become.
    bool TakeRequest(InputEvent *event);

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace platform::atspi

#endif
