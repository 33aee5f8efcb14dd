// The application, the dialog's frame and its controls as AT-SPI2 objects:
// Accessible for all; Application for the first; Component for the frame
// and the controls; Text for the fields and labels, with EditableText and
// Value (0 to 255) for the fields; Image for the swatch. Here what each is,
// and the events; the answers to calls are atspi_answer.cpp's.
#include "atspi_objects.h"

#include "atspi_model.h"

#include <dbus/dbus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace platform::atspi {

namespace {

// AT-SPI's numbers for the roles and states used here.
enum : uint32_t { kRoleApplication = 75, kRoleFrame = 23, kRoleEntry = 79, kRolePushButton = 43, kRoleLabel = 29, kRoleImage = 27 };
enum : int {
    kActive = 1, kEditable = 7, kEnabled = 8, kFocusable = 11, kFocused = 12, kSensitive = 24, kShowing = 25,
    kSingleLine = 26, kVisible = 30, kSelectableText = 38,
};

}  // namespace

using Role = AccessibleNode::Role;

int ObjectOf(const Snapshot &shown, const char *path)
{
    if (!path) return -2;
    const std::string_view p(path);
    if (p == kRootPath) return -1;
    const std::string prefix = std::string(kAccessiblePrefix) + "/";
    if (p.substr(0, prefix.size()) != prefix) return -2;
    const std::string number(p.substr(prefix.size()));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return -2;
    const long index = std::strtol(number.c_str(), nullptr, 10);
    return index < static_cast<long>(shown.nodes.size()) ? static_cast<int>(index) : -2;
}

std::string PathOf(int object)
{
    return object < 0 ? kRootPath : std::string(kAccessiblePrefix) + "/" + std::to_string(object);
}

const AccessibleNode *NodeOf(const Snapshot &shown, int object)
{
    return object >= 0 && object < static_cast<int>(shown.nodes.size()) ? &shown.nodes[static_cast<size_t>(object)] : nullptr;
}

bool IsField(const Snapshot &shown, int object)
{
    const AccessibleNode *node = NodeOf(shown, object);
    return node && node->role == Role::kTextField;
}

bool HasText(const Snapshot &shown, int object)
{
    const AccessibleNode *node = NodeOf(shown, object);
    return node && (node->role == Role::kTextField || node->role == Role::kText);
}

uint32_t RoleOf(const Snapshot &shown, int object)
{
    const AccessibleNode *node = NodeOf(shown, object);
    if (!node) return kRoleApplication;
    switch (node->role) {
    case Role::kDialog: return kRoleFrame;
    case Role::kTextField: return kRoleEntry;
    case Role::kButton:
    case Role::kCloseButton: return kRolePushButton;
    case Role::kGraphic: return kRoleImage;
    case Role::kText: break;
    }
    return kRoleLabel;
}

const char *RoleName(uint32_t role)
{
    switch (role) {
    case kRoleApplication: return "application";
    case kRoleFrame: return "frame";
    case kRoleEntry: return "entry";
    case kRolePushButton: return "push button";
    case kRoleImage: return "image";
    default: return "label";
    }
}

std::vector<int> ChildrenOf(const Snapshot &shown, int object)
{
    std::vector<int> children;
    if (object == -1 && !shown.nodes.empty()) children.push_back(0);
    if (object == 0)
        for (int i = 1; i < static_cast<int>(shown.nodes.size()); i++) children.push_back(i);
    return children;
}

std::string TextOf(const Snapshot &shown, int object)
{
    const AccessibleNode *node = NodeOf(shown, object);
    if (!node) return "";
    return node->role == Role::kTextField ? node->value : node->name;
}

std::string Slice(const std::string &text, int start, int end)
{
    const std::u32string chars = DecodeUtf8(text);
    const int n = static_cast<int>(chars.size());
    if (end < 0 || end > n) end = n;
    if (start < 0) start = 0;
    std::string out;
    for (int i = start; i < end; i++) AppendUtf8(&out, chars[static_cast<size_t>(i)]);
    return out;
}

int Length(const std::string &text)
{
    return static_cast<int>(DecodeUtf8(text).size());
}

int CaretOf(const Snapshot &shown, int object)
{
    const AccessibleNode *node = NodeOf(shown, object);
    return node && node->role == Role::kTextField && node->focused ? node->selection_end : -1;
}

int FocusedOf(const Snapshot &shown)
{
    for (int i = 1; i < static_cast<int>(shown.nodes.size()); i++)
        if (shown.nodes[static_cast<size_t>(i)].focused) return i;
    return -1;
}

void StatesOf(const Snapshot &shown, int object, uint32_t bits[2])
{
    bits[0] = bits[1] = 0;
    const auto set = [&](int state) { bits[state / 32] |= 1u << (state % 32); };
    const AccessibleNode *node = NodeOf(shown, object);
    if (!node) return;
    set(kVisible);
    set(kShowing);
    if (!node->disabled) {
        set(kEnabled);
        set(kSensitive);
    }
    if (node->role == Role::kDialog && shown.active) set(kActive);
    if (node->role == Role::kTextField) {
        set(kEditable);
        set(kSingleLine);
        set(kSelectableText);
    }
    if ((node->role == Role::kTextField || node->role == Role::kButton) && !node->disabled) set(kFocusable);
    if (node->focused && shown.active) set(kFocused);
}

std::vector<const char *> InterfacesOf(const Snapshot &shown, int object)
{
    std::vector<const char *> names{"org.a11y.atspi.Accessible"};
    if (object == -1) {
        names.push_back("org.a11y.atspi.Application");
        return names;
    }
    names.push_back("org.a11y.atspi.Component");
    if (HasText(shown, object)) names.push_back("org.a11y.atspi.Text");
    if (IsField(shown, object)) {
        names.push_back("org.a11y.atspi.EditableText");
        names.push_back("org.a11y.atspi.Value");
    }
    const AccessibleNode *node = NodeOf(shown, object);
    if (node && node->role == Role::kGraphic) names.push_back("org.a11y.atspi.Image");
    return names;
}

void BoxOf(const Snapshot &shown, int object, uint32_t coordinates, int box[4])
{
    const AccessibleNode *node = NodeOf(shown, object);
    box[0] = box[1] = box[2] = box[3] = 0;
    if (!node) return;
    const bool screen = coordinates == kScreenCoordinates;
    box[0] = node->x + (screen ? shown.origin_x : 0);
    box[1] = node->y + (screen ? shown.origin_y : 0);
    box[2] = node->width;
    box[3] = node->height;
}

void Replace(const AccessibleNode &field, const std::string &text, std::vector<InputEvent> *requests)
{
    requests->push_back(ClickEvent(field.x + field.width / 2, field.y + field.height / 2));
    requests->push_back(KeyEvent(Key::kHome));
    requests->push_back(KeyEvent(Key::kEnd, kShift));
    if (text.empty()) requests->push_back(KeyEvent(Key::kDelete));
    for (char32_t c : DecodeUtf8(text)) requests->push_back(CharEvent(c));
}

// --- Writing messages ------------------------------------------------------

void PutString(DBusMessageIter *it, const std::string &s)
{
    const char *p = s.c_str();
    dbus_message_iter_append_basic(it, DBUS_TYPE_STRING, &p);
}

void PutInt(DBusMessageIter *it, int v)
{
    const dbus_int32_t n = v;
    dbus_message_iter_append_basic(it, DBUS_TYPE_INT32, &n);
}

void PutUint(DBusMessageIter *it, uint32_t v)
{
    const dbus_uint32_t n = v;
    dbus_message_iter_append_basic(it, DBUS_TYPE_UINT32, &n);
}

void PutBool(DBusMessageIter *it, bool v)
{
    const dbus_bool_t b = v;
    dbus_message_iter_append_basic(it, DBUS_TYPE_BOOLEAN, &b);
}

void PutDouble(DBusMessageIter *it, double v)
{
    dbus_message_iter_append_basic(it, DBUS_TYPE_DOUBLE, &v);
}

void PutRef(DBusMessageIter *it, const std::string &name, const std::string &path)
{
    DBusMessageIter s;
    dbus_message_iter_open_container(it, DBUS_TYPE_STRUCT, nullptr, &s);
    PutString(&s, name);
    const char *p = path.c_str();
    dbus_message_iter_append_basic(&s, DBUS_TYPE_OBJECT_PATH, &p);
    dbus_message_iter_close_container(it, &s);
}

void PutEmptyDict(DBusMessageIter *it, const char *signature)
{
    DBusMessageIter a;
    dbus_message_iter_open_container(it, DBUS_TYPE_ARRAY, signature, &a);
    dbus_message_iter_close_container(it, &a);
}

void PutBox(DBusMessageIter *it, const int box[4], bool as_struct)
{
    DBusMessageIter s;
    DBusMessageIter *to = it;
    if (as_struct) {
        dbus_message_iter_open_container(it, DBUS_TYPE_STRUCT, nullptr, &s);
        to = &s;
    }
    for (int i = 0; i < 4; i++) PutInt(to, box[i]);
    if (as_struct) dbus_message_iter_close_container(it, &s);
}

std::string NameOf(const Snapshot &shown, int object)
{
    const AccessibleNode *node = NodeOf(shown, object);
    if (!node) return "rgbhsv";
    std::string name = node->name;
    for (const ControlName &n : shown.names)
        if (n.id == node->id && (node->role == Role::kTextField || node->role == Role::kGraphic)) name = n.name;
    if (node->role == Role::kGraphic && node->colour != kDefaultColour) {
        char hex[16];
        std::snprintf(hex, sizeof hex, ", #%02X%02X%02X", node->colour & 0xFF, node->colour >> 8 & 0xFF,
                      node->colour >> 16 & 0xFF);
        name += hex;
    }
    return name;
}

void Changes(const Snapshot &before, const Snapshot &after, std::vector<Signal> *out)
{
    const auto object = [&](int index, const char *member, const char *minor, int d1 = 0, int d2 = 0) {
        Signal s;
        s.object = index;
        s.interface = "org.a11y.atspi.Event.Object";
        s.member = member;
        s.minor = minor;
        s.detail1 = d1;
        s.detail2 = d2;
        out->push_back(s);
        return &out->back();
    };
    if (after.nodes.empty()) return;
    if (before.active != after.active || before.nodes.empty()) {
        Signal s;
        s.object = 0;
        s.interface = "org.a11y.atspi.Event.Window";
        s.member = after.active ? "Activate" : "Deactivate";
        s.text_value = true;
        s.text = NameOf(after, 0);
        out->push_back(s);
        object(0, "StateChanged", "active", after.active ? 1 : 0);
    }
    const int was = before.active ? FocusedOf(before) : -1, is = after.active ? FocusedOf(after) : -1;
    if (was != is) {
        if (was >= 0 && was < static_cast<int>(after.nodes.size())) object(was, "StateChanged", "focused", 0);
        if (is >= 0) {
            object(is, "StateChanged", "focused", 1);
            Signal focus;
            focus.object = is;
            focus.interface = "org.a11y.atspi.Event.Focus";
            focus.member = "Focus";
            out->push_back(focus);
        }
    }
    // Then, control by control: every text that changed, every caret that
    // moved and selection that changed, every name that changed.
    if (before.nodes.size() != after.nodes.size()) return;
    const int n = static_cast<int>(after.nodes.size());
    const auto at = [](const Snapshot &s, int i) -> const AccessibleNode & { return s.nodes[static_cast<size_t>(i)]; };
    for (int i = 1; i < n; i++) {
        const AccessibleNode &now = at(after, i), &then = at(before, i);
        if (now.role != Role::kTextField || now.value == then.value) continue;
        if (!then.value.empty()) {
            Signal *s = object(i, "TextChanged", "delete", 0, Length(then.value));
            s->text_value = true;
            s->text = then.value;
        }
        if (!now.value.empty()) {
            Signal *s = object(i, "TextChanged", "insert", 0, Length(now.value));
            s->text_value = true;
            s->text = now.value;
        }
        object(i, "PropertyChange", "accessible-value");
    }
    for (int i = 1; i < n; i++) {
        const AccessibleNode &now = at(after, i), &then = at(before, i);
        if (now.role != Role::kTextField || !now.focused || !after.active) continue;
        if (now.selection_end != then.selection_end || i != was || now.value != then.value)
            object(i, "TextCaretMoved", "", now.selection_end);
        if (now.selection_start != then.selection_start || now.selection_end != then.selection_end)
            object(i, "TextSelectionChanged", "");
    }
    for (int i = 0; i < n; i++) {
        if (NameOf(after, i) == NameOf(before, i)) continue;
        Signal *s = object(i, "PropertyChange", "accessible-name");
        s->text_value = true;
        s->text = NameOf(after, i);
    }
}

Signal Announcement(const std::string &text)
{
    Signal s;
    s.object = 0;
    s.interface = "org.a11y.atspi.Event.Object";
    s.member = "Announcement";
    s.detail1 = 2;  // assertive
    s.text_value = true;
    s.text = text;
    return s;
}

DBusMessage *SignalMessage(const Ref &, const Signal &signal)
{
    const std::string path = PathOf(signal.object);
    DBusMessage *message = dbus_message_new_signal(path.c_str(), signal.interface.c_str(), signal.member.c_str());
    if (!message) return nullptr;
    DBusMessageIter out, v;
    dbus_message_iter_init_append(message, &out);
    PutString(&out, signal.minor);
    PutInt(&out, signal.detail1);
    PutInt(&out, signal.detail2);
    dbus_message_iter_open_container(&out, DBUS_TYPE_VARIANT, signal.text_value ? "s" : "i", &v);
    if (signal.text_value) PutString(&v, signal.text);
    else PutInt(&v, 0);
    dbus_message_iter_close_container(&out, &v);
    PutEmptyDict(&out, "{sv}");
    return message;
}

}  // namespace platform::atspi
