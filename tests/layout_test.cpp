// The dialog laid out on a pixel device as Windows lays it out: base units
// from the dialog font (Wine's Tahoma, 8 points), every rectangle through
// MulDiv. The figures are the Windows build's own under Wine, at 96 and at
// 144 DPI, relative to the dialog's client area.
#include <gtest/gtest.h>

#include <windows.h>

#include "memory_screen.h"
#include "pixel_device.h"
#include "window.h"
#include "platform.h"
#include "resources/resource.h"

namespace {

using platform::InputEvent;
using platform::MemoryScreen;

// A pixel device at `dpi` behind the in-memory screen.
std::unique_ptr<platform::PixelDevice> OpenDevice(int dpi)
{
    std::string error;
    auto device = platform::PixelDevice::Open(platform::TahomaFile(), 800 * dpi / 96, 600 * dpi / 96, dpi, &error);
    EXPECT_TRUE(device) << error << " (make test installs fonts-wine)";
    return device;
}

// Where the dialog's client area starts on the device.
POINT ClientOrigin(HWND dialog, const platform::PixelDevice &device)
{
    RECT r;
    GetWindowRect(dialog, &r);
    const platform::DeviceMetrics m = device.Metrics();
    return POINT{r.left + m.frame_width, r.top + m.frame_height + m.caption_height};
}

struct Expected {
    int dpi;
    int client_width, client_height;
    struct Control {
        int id;
        RECT r;
    } controls[8];
};

const Expected kLayouts[] = {
    {96, 320, 127,
     {{IDC_SELECT, {240, 23, 315, 46}},
      {IDC_SWATCH, {5, 5, 73, 98}},
      {IDC_RED, {83, 23, 130, 46}},
      {IDC_GREEN, {131, 23, 178, 46}},
      {IDC_BLUE, {179, 23, 226, 46}},
      {IDC_HUE, {83, 76, 130, 99}},
      {IDC_SAT, {131, 76, 178, 99}},
      {IDC_VAL, {179, 76, 226, 99}}}},
    // At 144 DPI the Windows build gave the client and red; the rest is
    // the template through the same base units, 9 x 19.
    {144, 479, 185,
     {{IDC_SELECT, {360, 33, 473, 66}},
      {IDC_SWATCH, {7, 7, 108, 142}},
      {IDC_RED, {124, 33, 194, 66}},
      {IDC_GREEN, {196, 33, 266, 66}},
      {IDC_BLUE, {268, 33, 338, 66}},
      {IDC_HUE, {124, 112, 194, 145}},
      {IDC_SAT, {196, 112, 266, 145}},
      {IDC_VAL, {268, 112, 338, 145}}}},
};

// Each layout as the dialog starts at its DPI, and again after it is laid
// out afresh at the other's (a page zoomed while it runs), with what was
// typed, the focus and the caret kept.
TEST(Layout, ThePixelDeviceLaysTheDialogOutAsWindowsDoes)
{
    for (const bool rescaled : {false, true}) for (const Expected &e : kLayouts) {
        const Expected &start = rescaled ? kLayouts[&e == &kLayouts[0] ? 1 : 0] : e;
        bool checked = false;
        int step = 0;
        const auto device = OpenDevice(e.dpi), first = OpenDevice(start.dpi);
        ASSERT_TRUE(device && first);
        MemoryScreen screen(device->Width(), device->Height(), [&](MemoryScreen &self, InputEvent *event) {
            if (checked) return false;
            if (rescaled && step < 3) {
                // "12" into red, then the new density.
                if (step == 2) self.SetDevice(device.get());
                *event = step < 2 ? platform::CharEvent(U'1' + step) : platform::EventOf(InputEvent::Kind::kRescale);
                step++;
                return true;
            }
            checked = true;
            HWND dialog = platform::ActiveDialog();
            if (rescaled) {
                WCHAR red[8] = {};
                GetWindowTextW(GetDlgItem(dialog, IDC_RED), red, 8);
                EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(red)), u"12") << e.dpi << " dpi, rescaled";
                EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_RED));
                EXPECT_TRUE(device->CaretVisible());
                EXPECT_EQ(device->CaretBox().bottom - device->CaretBox().top, device->Metrics().font_height);
            }
            RECT client;
            GetClientRect(dialog, &client);
            EXPECT_EQ(client.right, e.client_width) << e.dpi << " dpi";
            EXPECT_EQ(client.bottom, e.client_height) << e.dpi << " dpi";
            const POINT origin = ClientOrigin(dialog, *device);
            for (const auto &c : e.controls) {
                RECT r;
                GetWindowRect(GetDlgItem(dialog, c.id), &r);
                EXPECT_EQ(r.left - origin.x, c.r.left) << e.dpi << " dpi, control " << c.id;
                EXPECT_EQ(r.top - origin.y, c.r.top) << e.dpi << " dpi, control " << c.id;
                EXPECT_EQ(r.right - origin.x, c.r.right) << e.dpi << " dpi, control " << c.id;
                EXPECT_EQ(r.bottom - origin.y, c.r.bottom) << e.dpi << " dpi, control " << c.id;
            }
            *event = platform::KeyEvent(platform::Key::kEscape);
            return true;
        }, rescaled ? first.get() : device.get());
        EXPECT_EQ(platform::RunOnScreen(screen), 0);
        EXPECT_TRUE(checked);
    }
}

// Every label shows whole at every scale: each static's text is no wider
// than its client area, in the dialog font at that DPI.
TEST(Layout, EveryLabelShowsWholeAtEveryScale)
{
    for (int dpi : {96, 120, 144, 192}) {
        const auto device = OpenDevice(dpi);
        ASSERT_TRUE(device);
        int labels = 0;
        MemoryScreen screen(device->Width(), device->Height(), [&](MemoryScreen &, InputEvent *event) {
            if (labels) return false;
            for (HWND child : platform::ActiveDialog()->children) {
                if (child->kind != platform::WindowKind::kStatic || child->text.empty() || !(child->style & WS_VISIBLE))
                    continue;
                RECT client;
                GetClientRect(child, &client);
                EXPECT_LE(device->TextWidth(child->text, false), client.right)
                    << platform::WindowText(child) << " at " << dpi << " dpi";
                labels++;
            }
            *event = platform::KeyEvent(platform::Key::kEscape);
            return true;
        }, device.get());
        EXPECT_EQ(platform::RunOnScreen(screen), 0);
        EXPECT_EQ(labels, 3);
    }
}

// MapDialogRect scales each member on its own, halves away from zero.
TEST(Layout, MulDivRoundsAsWindowsDoes)
{
    const struct {
        int a, b, c, result;
    } cases[] = {{3, 6, 4, 5}, {55, 6, 4, 83}, {14, 13, 8, 23}, {-3, 6, 4, -5}, {7, 1, 2, 4}, {-7, 1, 2, -4},
                 {7, -1, 2, -4}, {1, 1, 0, -1}, {0x7FFFFFFF, 2, 1, -1}};
    for (const auto &c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
