// What a screen reader is told: the running dialog and its controls
// described as plain accessible nodes (role, name, value, state, cells) for
// a screen that asks, after every frame and before every beep, and what it
// should say of a beep: the number a field refused and what it holds
// instead. The names are the windows' own texts; a screen may name the
// fields, which have none.
// Leaves out: nested dialogs, and a description of anything but the dialog.
#include "accessibility.h"

#include "platform.h"
#include "system.h"
#include "window.h"

namespace platform {
namespace {

void PlaceNode(AccessibleNode *node, const RECT &r)
{
    node->x = r.left;
    node->y = r.top;
    node->width = r.right - r.left;
    node->height = r.bottom - r.top;
}

AccessibleNode DescribeControl(HWND control)
{
    AccessibleNode node;
    node.id = control->id;
    node.disabled = (control->style & WS_DISABLED) != 0;
    node.focused = GetFocus() == control;
    PlaceNode(&node, control->rect);
    switch (control->kind) {
    case WindowKind::kEdit: {
        node.role = AccessibleNode::Role::kTextField;
        node.value = Utf8FromUtf16(control->text);
        DWORD start = 0, end = 0;
        SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        node.selection_start = static_cast<int>(start);
        node.selection_end = static_cast<int>(end);
        break;
    }
    case WindowKind::kButton:
        node.role = AccessibleNode::Role::kButton;
        node.name = Utf8FromUtf16(control->text);
        break;
    default:
        if (IsPicture(control)) {
            node.role = AccessibleNode::Role::kGraphic;
            node.colour = Drawing().ColourOf(ToBox(ClientRectOnScreen(control)));  // what its paint left there
        } else {
            node.role = AccessibleNode::Role::kText;
            node.name = Utf8FromUtf16(control->text);
        }
        break;
    }
    return node;
}

}  // namespace

std::vector<AccessibleNode> DescribeDialog(HWND dialog)
{
    std::vector<AccessibleNode> nodes;
    if (!IsLiveWindow(dialog)) return nodes;
    AccessibleNode self;
    self.role = AccessibleNode::Role::kDialog;
    self.name = Utf8FromUtf16(dialog->text);
    PlaceNode(&self, dialog->rect);
    nodes.push_back(self);
    if ((dialog->style & WS_SYSMENU) && (dialog->style & WS_CAPTION)) {
        AccessibleNode close;
        close.role = AccessibleNode::Role::kCloseButton;
        close.name = "Close";
        PlaceNode(&close, CloseBoxOf(dialog));
        nodes.push_back(close);
    }
    for (HWND child : dialog->children)
        if (child->style & WS_VISIBLE) nodes.push_back(DescribeControl(child));
    return nodes;
}

void DescribeToScreen()
{
    Screen *screen = GetScreen();
    if (!screen || !screen->DescribesControls() || !ActiveDialog()) return;
    screen->Describe(DescribeDialog(ActiveDialog()));
    WindowSystem &system = System();
    if (!system.refused_in) return;
    if (!IsLiveWindow(system.refused_in) || GetFocus() != system.refused_in) {
        system.refused_in = nullptr;
        return;
    }
    const std::string now = Utf8FromUtf16(system.refused_in->text);
    if (now == system.refused) return;
    screen->Announce(system.refused + " is more than " + now + ": set to " + now);
    system.refused_in = nullptr;
}

void DescribeBeep()
{
    DescribeToScreen();
    Screen *screen = GetScreen();
    if (!screen || !screen->DescribesControls()) return;
    WindowSystem &system = System();
    HWND focus = GetFocus();
    if (focus && focus->kind == WindowKind::kEdit) {
        system.refused_in = focus;
        system.refused = Utf8FromUtf16(focus->text);
    } else {
        screen->Announce("Beep");
    }
}

}  // namespace platform
