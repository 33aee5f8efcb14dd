// The dialog laid out on a pixel device as Windows lays it out: base units
// from the dialog font (Wine's Tahoma, 8 points), every rectangle through
// MulDiv. The figures are the Windows build's own under Wine, at 96 and at
// 144 DPI, relative to the dialog's client area.
#include <gtest/gtest.h>

#include <windows.h>

#include "font.h"
#include "memory_screen.h"
#include "platform.h"
#include "resources/resource.h"

namespace {

using platform::InputEvent;
using platform::MemoryScreen;

// The in-memory screen as a pixel device at `dpi`. Its frame and caption
// are the classic scheme's at 96 DPI (3 and 19 pixels), scaled.
class PixelMetricsScreen : public MemoryScreen {
public:
    PixelMetricsScreen(int dpi, Driver driver) : MemoryScreen(800 * dpi / 96, 600 * dpi / 96, std::move(driver)), dpi_(dpi)
    {
        std::string error;
        font_ = platform::PixelFont::Open(platform::kTahomaPath, 8, dpi, &error);
        EXPECT_TRUE(font_) << error << " (make test installs fonts-wine)";
    }
    platform::DeviceMetrics Metrics() const override
    {
        const int frame = MulDiv(3, dpi_, 96);
        return platform::DeviceMetrics{font_ ? font_->Height() : 1, frame, frame, MulDiv(19, dpi_, 96)};
    }
    int TextWidth(std::u16string_view text) const override { return font_ ? font_->TextWidth(text) : 0; }
    RECT ClientOrigin(HWND dialog) const
    {
        RECT r;
        GetWindowRect(dialog, &r);
        const platform::DeviceMetrics m = Metrics();
        return RECT{r.left + m.frame_width, r.top + m.frame_height + m.caption_height, 0, 0};
    }

private:
    int dpi_;
    std::unique_ptr<platform::PixelFont> font_;
};

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

TEST(Layout, ThePixelDeviceLaysTheDialogOutAsWindowsDoes)
{
    for (const Expected &e : kLayouts) {
        bool checked = false;
        PixelMetricsScreen *self = nullptr;
        PixelMetricsScreen screen(e.dpi, [&](MemoryScreen &, InputEvent *event) {
            if (checked) return false;
            checked = true;
            HWND dialog = platform::ActiveDialog();
            RECT client;
            GetClientRect(dialog, &client);
            EXPECT_EQ(client.right, e.client_width) << e.dpi << " dpi";
            EXPECT_EQ(client.bottom, e.client_height) << e.dpi << " dpi";
            const RECT origin = self->ClientOrigin(dialog);
            for (const auto &c : e.controls) {
                RECT r;
                GetWindowRect(GetDlgItem(dialog, c.id), &r);
                EXPECT_EQ(r.left - origin.left, c.r.left) << e.dpi << " dpi, control " << c.id;
                EXPECT_EQ(r.top - origin.top, c.r.top) << e.dpi << " dpi, control " << c.id;
                EXPECT_EQ(r.right - origin.left, c.r.right) << e.dpi << " dpi, control " << c.id;
                EXPECT_EQ(r.bottom - origin.top, c.r.bottom) << e.dpi << " dpi, control " << c.id;
            }
            *event = platform::KeyEvent(platform::Key::kEscape);
            return true;
        });
        self = &screen;
        EXPECT_EQ(platform::RunOnScreen(screen), 0);
        EXPECT_TRUE(checked);
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
