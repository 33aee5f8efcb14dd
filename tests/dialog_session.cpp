// The session driver behind the dialog tests.
#include "dialog_session.h"

#include "accessibility.h"

namespace rgbhsv_test {

long View::SwatchColour() const
{
    const RECT r = ScreenRect(IDC_SWATCH);
    long colour = -1;
    for (LONG y = r.top; y < r.bottom; y++)
        for (LONG x = r.left; x < r.right; x++) {
            if (!Frame().Contains(x, y)) return -1;
            const long cell = static_cast<long>(Frame().At(x, y).bg);
            if (colour != -1 && cell != colour) return -1;
            colour = cell;
        }
    return colour;
}

platform::AccessibleNode View::Described(int id) const
{
    for (const platform::AccessibleNode &node : platform::DescribeDialog(Dialog()))
        if (node.id == id) return node;
    return {};
}

Session &Session::ClickControl(int id, int column)
{
    // Where the control is can only be known once the dialog runs.
    return Then([this, id, column](const View &view) {
        const RECT r = view.ScreenRect(id);
        steps_.emplace_front(std::in_place_type<InputEvent>, platform::ClickEvent(r.left + column, r.top));
    });
}

int Session::Run(int width, int height)
{
    MemoryScreen screen(width, height, [this](MemoryScreen &s, InputEvent *event) {
        const View view(s);
        while (!steps_.empty()) {
            auto step = std::move(steps_.front());
            steps_.pop_front();
            if (auto *check = std::get_if<Check>(&step)) {
                (*check)(view);
                continue;
            }
            *event = std::get<InputEvent>(step);
            return true;
        }
        return false;
    });
    return platform::RunOnScreen(screen);
}

}  // namespace rgbhsv_test
