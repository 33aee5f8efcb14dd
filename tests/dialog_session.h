// Drives the real dialog program through the real platform layer on an
// in-memory screen, the way a person would: the steps of a session are
// keys, characters and clicks, with checks in between that run whenever
// the dialog is idle and painted.
#ifndef RGBHSV_TESTS_DIALOG_SESSION_H
#define RGBHSV_TESTS_DIALOG_SESSION_H

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <variant>

#include "memory_screen.h"
#include "platform.h"
#include "resources/resource.h"

namespace rgbhsv_test {

using platform::InputEvent;
using platform::MemoryScreen;

// What the person sees, read while the dialog waits for input.
class View {
public:
    explicit View(MemoryScreen &screen) : screen_(screen) {}
    HWND Dialog() const { return platform::ActiveDialog(); }
    std::string Field(int id) const { return platform::WindowText(GetDlgItem(Dialog(), id)); }
    // The six fields as "R G B / H S V".
    std::string Rows() const
    {
        return Field(IDC_RED) + " " + Field(IDC_GREEN) + " " + Field(IDC_BLUE) + " / " + Field(IDC_HUE) + " " +
               Field(IDC_SAT) + " " + Field(IDC_VAL);
    }
    // The colour every cell of the swatch shows, or -1 if they differ.
    long SwatchColour() const;
    // What a screen reader is told of a control.
    platform::AccessibleNode Described(int id) const;
    RECT ScreenRect(int id) const
    {
        RECT r{};
        GetWindowRect(id ? GetDlgItem(Dialog(), id) : Dialog(), &r);
        return r;
    }
    const platform::Frame &Frame() const { return screen_.LastFrame(); }
    int Beeps() const { return screen_.Beeps(); }
    const std::string &Clipboard() const { return screen_.Clipboard(); }
    // What another program put on the clipboard.
    void SetClipboard(const std::string &text) const { screen_.SetClipboard(text); }

private:
    MemoryScreen &screen_;
};

class Session {
public:
    using Check = std::function<void(const View &)>;

    Session &Press(platform::Key key, bool shift = false)
    {
        return Add(platform::KeyEvent(key, shift ? platform::kShift : 0));
    }
    Session &Type(const std::string &text)
    {
        for (char c : text) Add(platform::CharEvent(static_cast<char32_t>(c)));
        return *this;
    }
    Session &Click(int x, int y) { return Add(platform::ClickEvent(x, y)); }
    // A click on a control, `column` cells into it.
    Session &ClickControl(int id, int column = 0);
    Session &Resize(int width, int height) { return Add(platform::ResizeEvent(width, height)); }
    Session &Then(Check check)
    {
        steps_.emplace_back(std::in_place_type<Check>, std::move(check));
        return *this;
    }
    Session &Add(const InputEvent &event)
    {
        steps_.emplace_back(std::in_place_type<InputEvent>, event);
        return *this;
    }

    // Runs the program's entry point on a width x height screen until the
    // dialog ends (or the steps run out, which closes it). Returns the exit
    // code.
    int Run(int width = 80, int height = 24);

private:
    std::deque<std::variant<InputEvent, Check>> steps_;
};

}  // namespace rgbhsv_test

#endif
