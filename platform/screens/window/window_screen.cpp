// The window screen: on Wayland a client of our own (wayland_screen.h), on
// X11 SDL2's window, not resizable, its size the dialog's client area, at
// the desktop's DPI (Xft.dpi, 96 where it is unset); the window manager's title bar and close box are the dialog's,
// so the device has no frame or caption to draw. SDL's software surface
// shows the pixel device's image (no OpenGL); the caret is drawn over it,
// inverted, and does not blink. Keys come as SDL reports them (the
// keypad's as NumLock has them), text from its text input, each character
// of it in turn; the first button's presses, drags and releases; the
// window's gaining and losing the keyboard. The clipboard is the desktop's,
// through SDL, handed to a clipboard manager as the window ends; the beep
// is the X bell, as Wine rings MessageBeep; the icons are the dialog's, as
// _NET_WM_ICON. It opens centred on the pointer's screen, clear of another
// of its kind (x11_desktop.h).
// Leaves out: mouse buttons other than the first, the wheel.
#include "window_screen.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>

#include <algorithm>
#include <cstdlib>

#include "atspi_bridge.h"
#include "pixel_device.h"
#include "wayland_screen.h"
#include "x11_desktop.h"

namespace platform {
namespace {

// The keypad's keys as NumLock off makes them, Windows's way: 7 is Home,
// 1 End, 4 and 6 Left and Right, 8 and 2 Up and Down, 0 Insert and the
// decimal point Delete. With NumLock on they type digits, as text.
Key KeypadKeyOf(SDL_Keycode key)
{
    switch (key) {
    case SDLK_KP_7: return Key::kHome;
    case SDLK_KP_1: return Key::kEnd;
    case SDLK_KP_4: return Key::kLeft;
    case SDLK_KP_6: return Key::kRight;
    case SDLK_KP_8: return Key::kUp;
    case SDLK_KP_2: return Key::kDown;
    case SDLK_KP_0: return Key::kInsert;
    case SDLK_KP_PERIOD: return Key::kDelete;
    default: return Key::kNone;
    }
}

// Whether the key just reported types text: its text event is queued
// behind it. (The keyboard's own NumLock state says so, where SDL's record
// of it may lag.)
bool TypesText()
{
    SDL_Event next;
    return SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT) > 0;
}

Key KeyOf(SDL_Keycode key)
{
    const Key keypad = KeypadKeyOf(key);
    if (keypad != Key::kNone) return TypesText() ? Key::kNone : keypad;
    switch (key) {
    case SDLK_BACKSPACE: return Key::kBack;
    case SDLK_TAB: return Key::kTab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::kReturn;
    case SDLK_ESCAPE: return Key::kEscape;
    case SDLK_LEFT: return Key::kLeft;
    case SDLK_RIGHT: return Key::kRight;
    case SDLK_UP: return Key::kUp;
    case SDLK_DOWN: return Key::kDown;
    case SDLK_HOME: return Key::kHome;
    case SDLK_END: return Key::kEnd;
    case SDLK_INSERT: return Key::kInsert;
    case SDLK_DELETE: return Key::kDelete;
    case SDLK_F4: return Key::kF4;
    default: return Key::kNone;
    }
}

uint8_t ModifiersOf(Uint16 mod)
{
    return static_cast<uint8_t>(((mod & KMOD_SHIFT) ? kShift : 0) | ((mod & KMOD_CTRL) ? kCtrl : 0) |
                                ((mod & KMOD_ALT) ? kAlt : 0));
}

class WindowScreen : public Screen {
public:
    WindowScreen(SDL_Window *window, std::unique_ptr<PixelDevice> device, const ControlNames &names)
        : window_(window), device_(std::move(device)), wake_(SDL_RegisterEvents(1)),
          bridge_(names, [wake = wake_] {
              SDL_Event e{};
              e.type = wake;
              SDL_PushEvent(&e);
          })
    {
    }
    ~WindowScreen() override
    {
        // What was copied outlives the window, where a clipboard manager
        // takes it.
        Display *display;
        if (copied_owner_ && X11Of(&display)) x11::HandClipboardToManager(display, copied_owner_, copied_, kManagerWaitMs);
        SDL_DestroyWindow(window_);
        SDL_Quit();
    }

    Device *OwnDevice() override { return device_.get(); }
    int Width() const override { return device_->Width(); }
    int Height() const override { return device_->Height(); }

    // The window takes the dialog's size, and shows once it has it, placed
    // the first time.
    void Fit(int width, int height) override
    {
        device_->Resize(width, height);
        SDL_SetWindowSize(window_, width, height);
        if (!placed_) Place(width, height);
        placed_ = true;
        SDL_ShowWindow(window_);
    }
    void ShowCaption(const std::string &caption) override { SDL_SetWindowTitle(window_, caption.c_str()); }

    // Every size at once, as _NET_WM_ICON holds them: width, height and the
    // pixels as ARGB, each in a long.
    void ShowIcons(const std::vector<IconImage> &images) override
    {
        Display *display;
        Window window;
        if (images.empty() || !X11Of(&display, &window)) return;
        std::vector<unsigned long> data;
        for (const IconImage &image : images) {
            data.push_back(static_cast<unsigned long>(image.width));
            data.push_back(static_cast<unsigned long>(image.height));
            data.insert(data.end(), image.argb.begin(), image.argb.end());
        }
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char *>(data.data()),
                        static_cast<int>(data.size()));
        XFlush(display);
    }

    void Present() override { Show(); }

    void Beep() override
    {
        Display *display;
        if (X11Of(&display)) {
            XBell(display, 0);
            XFlush(display);
        }
    }

    // A screen reader is told what the window shows (atspi_bridge.h).
    bool DescribesControls() const override { return true; }
    void Describe(const std::vector<AccessibleNode> &nodes) override
    {
        int x = 0, y = 0;
        SDL_GetWindowPosition(window_, &x, &y);
        bridge_.Describe(nodes, x, y, active_);
    }
    void Announce(const std::string &text) override { bridge_.Announce(text); }

    bool NextInput(InputEvent *event) override
    {
        if (TakePending(event) || bridge_.TakeRequest(event)) return true;
        SDL_Event e;
        while (SDL_WaitEvent(&e)) {
            if (e.type == wake_ && bridge_.TakeRequest(event)) return true;
            switch (e.type) {
            case SDL_QUIT:
                *event = CloseEvent();
                return true;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                    *event = CloseEvent();
                    return true;
                }
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED) Show();
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    active_ = e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
                    *event = EventOf(e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED ? InputEvent::Kind::kActivate
                                                                                          : InputEvent::Kind::kDeactivate);
                    return true;
                }
                break;
            case SDL_KEYDOWN: {
                const uint8_t modifiers = ModifiersOf(e.key.keysym.mod);
                const Key key = KeyOf(e.key.keysym.sym);
                if (key != Key::kNone) {
                    *event = KeyEvent(key, modifiers);
                    return true;
                }
                // With Ctrl or Alt a letter or digit is a key, which text
                // input does not report.
                const SDL_Keycode sym = e.key.keysym.sym;
                const bool printable = (sym >= SDLK_a && sym <= SDLK_z) || (sym >= SDLK_0 && sym <= SDLK_9);
                if (printable && (modifiers & (kCtrl | kAlt))) {
                    *event = CharEvent(static_cast<char32_t>(sym), modifiers);
                    return true;
                }
                break;
            }
            case SDL_TEXTINPUT:
                // An input method's commit or a Compose sequence may bring
                // several characters at once: each is typed, in order.
                if (SDL_GetModState() & (KMOD_CTRL | KMOD_ALT)) break;
                pending_ = DecodeUtf8(e.text.text);
                if (TakePending(event)) return true;
                break;
            case SDL_MOUSEBUTTONDOWN:
                // Every second press of a run of quick ones is a double
                // click's, as Windows counts them.
                if (e.button.button == SDL_BUTTON_LEFT) {
                    *event = ClickEvent(e.button.x, e.button.y, ModifiersOf(SDL_GetModState()),
                                        e.button.clicks % 2 == 0 ? 2 : 1);
                    return true;
                }
                break;
            case SDL_MOUSEMOTION:
                if (e.motion.state & SDL_BUTTON_LMASK) {
                    *event = EventOf(InputEvent::Kind::kDrag, e.motion.x, e.motion.y);
                    return true;
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.button == SDL_BUTTON_LEFT) {
                    *event = EventOf(InputEvent::Kind::kRelease, e.button.x, e.button.y);
                    return true;
                }
                break;
            default:
                break;
            }
        }
        return false;
    }

    void WriteClipboard(const std::string &text) override
    {
        copied_ = text;
        SDL_SetClipboardText(text.c_str());
        // SDL owns the selection through a window of its own: which, to
        // know at the end whether the clipboard is still ours.
        Display *display;
        if (X11Of(&display)) copied_owner_ = XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False));
    }
    std::string ReadClipboard() override
    {
        char *text = SDL_GetClipboardText();
        std::string out = text ? text : "";
        SDL_free(text);
        return out;
    }

private:
    // The X display and window behind SDL's window; false on another desktop.
    bool X11Of(Display **display, Window *window = nullptr) const
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return false;
        *display = info.info.x11.display;
        if (window) *window = info.info.x11.window;
        return true;
    }

    // How long a clipboard manager is given to take the copied text as the
    // window ends.
    static constexpr int kManagerWaitMs = 2000;

    // Whole and centred on the screen the pointer is on, and a step down
    // and right of where another of the program's windows already stands,
    // as Windows cascades its windows: the caption's height, at this DPI.
    void Place(int width, int height)
    {
        int px = 0, py = 0;
        SDL_GetGlobalMouseState(&px, &py);
        int screen = std::max(0, SDL_GetWindowDisplayIndex(window_));
        for (int i = 0; i < SDL_GetNumVideoDisplays(); i++) {
            SDL_Rect bounds;
            const SDL_Point pointer{px, py};
            if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&pointer, &bounds)) screen = i;
        }
        SDL_Rect area;
        if (SDL_GetDisplayUsableBounds(screen, &area) != 0 && SDL_GetDisplayBounds(screen, &area) != 0) return;
        int x = area.x + std::max(0, (area.w - width) / 2), y = area.y + std::max(0, (area.h - height) / 2);
        Display *display;
        Window window;
        if (X11Of(&display, &window)) {
            const int step = MulDivRounded(26, device_->Dpi(), 96);
            const std::vector<x11::Point> others = x11::WindowsOfClass(display, window, "rgbhsv");
            const auto taken = [&] {
                return std::any_of(others.begin(), others.end(), [&](const x11::Point &p) {
                    return std::abs(p.x - x) < step && std::abs(p.y - y) < step;
                });
            };
            for (int tries = 0; tries < 32 && taken(); tries++) {
                x += step;
                y += step;
                if (x + width > area.x + area.w) x = area.x;
                if (y + height > area.y + area.h) y = area.y;
            }
        }
        SDL_SetWindowPosition(window_, x, y);
    }

    // The next character of a text event not yet typed.
    bool TakePending(InputEvent *event)
    {
        if (pending_.empty()) return false;
        *event = CharEvent(pending_.front());
        pending_.erase(0, 1);
        return true;
    }

    // The device's image on the window's surface, the caret over it.
    void Show()
    {
        SDL_Surface *surface = SDL_GetWindowSurface(window_);
        if (!surface) return;
        SDL_LockSurface(surface);
        const int w = std::min(surface->w, device_->Width()), h = std::min(surface->h, device_->Height());
        const Box caret = device_->CaretVisible() ? device_->CaretBox() : Box{};
        for (int y = 0; y < h; y++) {
            auto *row = reinterpret_cast<Uint32 *>(static_cast<Uint8 *>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < w; x++) {
                Colour c = device_->At(x, y);
                if (caret.Contains(x, y)) c ^= 0xFFFFFF;
                row[x] = SDL_MapRGB(surface->format, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
            }
        }
        SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurface(window_);
    }

    SDL_Window *window_;
    std::unique_ptr<PixelDevice> device_;
    std::u32string pending_;
    std::string copied_;        // the text last put on the desktop's clipboard
    Window copied_owner_ = 0;   // ... and the window that owned it then
    bool placed_ = false;
    bool active_ = false;       // the window has the keyboard
    Uint32 wake_;               // the event a screen reader's request wakes the loop with
    atspi::Bridge bridge_;
};

}  // namespace

std::unique_ptr<Screen> OpenWindowScreen(const ControlNames &names, std::string *error)
{
    const auto set = [](const char *name) { return std::getenv(name) && *std::getenv(name); };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        *error = "no desktop to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return nullptr;
    }
    // Wayland first, natively, where a compositor is named; X11 where none
    // can show the window, or where SDL_VIDEODRIVER asks for it.
    const std::string driver = set("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "";
    std::string wayland_error;
    if (set("WAYLAND_DISPLAY") && driver != "x11") {
        if (auto screen = wayland::OpenScreen(names, &wayland_error)) return screen;
        wayland_error = std::string("cannot open a window on Wayland display '") + std::getenv("WAYLAND_DISPLAY") +
                        "': " + wayland_error;
        if (!set("DISPLAY") || driver == "wayland") {
            *error = wayland_error;
            return nullptr;
        }
    }
    const auto failed = [&](const std::string &why) {
        *error = wayland_error.empty() ? why : wayland_error + "; nor " + why.substr(why.find("on display"));
    };
    // The X display is asked first whether it answers at all, and its DPI.
    std::string why;
    Display *display = x11::OpenDisplay(&why);
    if (!display) {
        failed("cannot open a window on display '" + x11::DisplayName() + "': " + why);
        return nullptr;
    }
    const int dpi = x11::DesktopDpi(display);
    XCloseDisplay(display);
    const std::string where = "on display '" + x11::DisplayName() + "'";
    auto device = PixelDevice::Open(TahomaFile(), 1, 1, dpi, error, PixelDevice::kFramedByDesktop);
    if (!device) return nullptr;
    // The window's class, as desktops and their menus know the program.
    setenv("SDL_VIDEO_X11_WMCLASS", "rgbhsv", 0);
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The window's surface is the display's own shared memory, not a
    // texture of a GL renderer, which would cost tens of megabytes.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Only X11: SDL's other drivers (the console's, say) could wait for a
    // screen that is not there.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // Signals end the program as they would any other, not as a close.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // What SDL opens of the session bus is closed again with it.
    SDL_SetHint("SDL_SHUTDOWN_DBUS_ON_QUIT", "1");
    // Before SDL's own: SDL passes what it does not handle to the handler it
    // found, and puts that one back when it quits, while it closes its
    // displays and the last errors still arrive.
    x11::PassOverGoneWindows();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        *error = "cannot open a window " + where + ": " + SDL_GetError();
        SDL_Quit();
        return nullptr;
    }
    SDL_Window *window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1, 1, SDL_WINDOW_HIDDEN);
    // A window whose pixels cannot be put anywhere would wait on, unseen
    // and unclosable.
    if (!window || !SDL_GetWindowSurface(window)) {
        *error = "cannot open a window " + where + ": " + SDL_GetError();
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
        return nullptr;
    }
    SDL_StartTextInput();
    return std::make_unique<WindowScreen>(window, std::move(device), names);
}

}  // namespace platform

#if defined(__SANITIZE_ADDRESS__)
// Under the leak checker: libdbus, which SDL opens for the desktop's input
// methods, keeps a buffer of its own until the process ends, even after
// it is shut down.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
extern "C" const char *__lsan_default_options()
{
    return "print_suppressions=0";
}
#endif
