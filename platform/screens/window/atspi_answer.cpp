// The answers to a screen reader's calls on the window's AT-SPI2 objects:
// each interface's methods and properties, read off a Snapshot.
#include <dbus/dbus.h>

#include <cstdlib>
#include <string>

#include "atspi_model.h"
#include "atspi_objects.h"

namespace platform::atspi {
namespace {

using Role = AccessibleNode::Role;
// A property's value, in a variant; false where the object has none of
// that name.
bool PutProperty(const Snapshot &shown, const char *own, int object, const std::string &interface,
                 const std::string &name, DBusMessageIter *it)
{
    const auto variant = [&](const char *signature, auto put) {
        DBusMessageIter v;
        dbus_message_iter_open_container(it, DBUS_TYPE_VARIANT, signature, &v);
        put(&v);
        dbus_message_iter_close_container(it, &v);
        return true;
    };
    const AccessibleNode *node = NodeOf(shown, object);
    if (interface == "org.a11y.atspi.Accessible") {
        if (name == "Name") return variant("s", [&](DBusMessageIter *v) { PutString(v, NameOf(shown, object)); });
        if (name == "Description" || name == "HelpText" || name == "AccessibleId")
            return variant("s", [&](DBusMessageIter *v) { PutString(v, ""); });
        if (name == "Locale") return variant("s", [&](DBusMessageIter *v) { PutString(v, "en"); });
        if (name == "ChildCount")
            return variant("i", [&](DBusMessageIter *v) { PutInt(v, static_cast<int>(ChildrenOf(shown, object).size())); });
        if (name == "Parent")
            return variant("(so)", [&](DBusMessageIter *v) {
                if (object == -1) PutRef(v, shown.desktop.name, shown.desktop.path);
                else PutRef(v, own, PathOf(object == 0 ? -1 : 0));
            });
    } else if (interface == "org.a11y.atspi.Application" && object == -1) {
        if (name == "ToolkitName") return variant("s", [&](DBusMessageIter *v) { PutString(v, "rgbhsv"); });
        if (name == "Version") return variant("s", [&](DBusMessageIter *v) { PutString(v, "1.0.0"); });
        if (name == "AtspiVersion") return variant("s", [&](DBusMessageIter *v) { PutString(v, "2.1"); });
        if (name == "Id") return variant("i", [&](DBusMessageIter *v) { PutInt(v, 0); });
    } else if (interface == "org.a11y.atspi.Text" && HasText(shown, object)) {
        if (name == "CharacterCount")
            return variant("i", [&](DBusMessageIter *v) { PutInt(v, Length(TextOf(shown, object))); });
        if (name == "CaretOffset") return variant("i", [&](DBusMessageIter *v) { PutInt(v, CaretOf(shown, object)); });
    } else if (interface == "org.a11y.atspi.Value" && IsField(shown, object)) {
        if (name == "MinimumValue") return variant("d", [&](DBusMessageIter *v) { PutDouble(v, 0); });
        if (name == "MaximumValue") return variant("d", [&](DBusMessageIter *v) { PutDouble(v, 255); });
        if (name == "MinimumIncrement") return variant("d", [&](DBusMessageIter *v) { PutDouble(v, 1); });
        if (name == "CurrentValue") return variant("d", [&](DBusMessageIter *v) { PutDouble(v, std::atof(node->value.c_str())); });
        if (name == "Text") return variant("s", [&](DBusMessageIter *v) { PutString(v, node->value); });
    } else if (interface == "org.a11y.atspi.Image" && node && node->role == Role::kGraphic) {
        if (name == "ImageDescription") return variant("s", [&](DBusMessageIter *v) { PutString(v, NameOf(shown, object)); });
        if (name == "ImageLocale") return variant("s", [&](DBusMessageIter *v) { PutString(v, "en"); });
    }
    return false;
}

const char *const kProperties[][2] = {
    {"org.a11y.atspi.Accessible", "Name"},          {"org.a11y.atspi.Accessible", "Description"},
    {"org.a11y.atspi.Accessible", "Parent"},        {"org.a11y.atspi.Accessible", "ChildCount"},
    {"org.a11y.atspi.Accessible", "Locale"},        {"org.a11y.atspi.Accessible", "AccessibleId"},
    {"org.a11y.atspi.Application", "ToolkitName"},  {"org.a11y.atspi.Application", "Version"},
    {"org.a11y.atspi.Application", "AtspiVersion"}, {"org.a11y.atspi.Application", "Id"},
    {"org.a11y.atspi.Text", "CharacterCount"},      {"org.a11y.atspi.Text", "CaretOffset"},
    {"org.a11y.atspi.Value", "MinimumValue"},       {"org.a11y.atspi.Value", "MaximumValue"},
    {"org.a11y.atspi.Value", "MinimumIncrement"},   {"org.a11y.atspi.Value", "CurrentValue"},
    {"org.a11y.atspi.Value", "Text"},               {"org.a11y.atspi.Image", "ImageDescription"},
    {"org.a11y.atspi.Image", "ImageLocale"},
};

// A message's arguments, read in order.
struct Args {
    explicit Args(DBusMessage *m) { ok = dbus_message_iter_init(m, &it); }
    int Int()
    {
        dbus_int32_t v = 0;
        if (ok && dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_INT32) dbus_message_iter_get_basic(&it, &v);
        if (ok) dbus_message_iter_next(&it);
        return v;
    }
    uint32_t Uint()
    {
        dbus_uint32_t v = 0;
        if (ok && dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_UINT32) dbus_message_iter_get_basic(&it, &v);
        if (ok) dbus_message_iter_next(&it);
        return v;
    }
    std::string String()
    {
        const char *v = nullptr;
        if (ok && dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_STRING) dbus_message_iter_get_basic(&it, &v);
        if (ok) dbus_message_iter_next(&it);
        return v ? v : "";
    }
    double VariantNumber()
    {
        DBusMessageIter v;
        double d = 0;
        if (ok && dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_VARIANT) {
            dbus_message_iter_recurse(&it, &v);
            if (dbus_message_iter_get_arg_type(&v) == DBUS_TYPE_DOUBLE) dbus_message_iter_get_basic(&v, &d);
        }
        return d;
    }
    DBusMessageIter it;
    bool ok = false;
};

}  // namespace

DBusMessage *Answer(const Snapshot &shown, const char *own, DBusMessage *call, std::vector<InputEvent> *requests)
{
    const int object = ObjectOf(shown, dbus_message_get_path(call));
    const char *interface_c = dbus_message_get_interface(call), *member_c = dbus_message_get_member(call);
    if (object == -2 || !member_c) return nullptr;
    const std::string interface = interface_c ? interface_c : "", member = member_c;
    const AccessibleNode *node = NodeOf(shown, object);
    Args args(call);
    DBusMessage *reply = dbus_message_new_method_return(call);
    DBusMessageIter out;
    dbus_message_iter_init_append(reply, &out);
    const auto fail = [&] {
        dbus_message_unref(reply);
        return dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_METHOD, "no such method here");
    };

    if (interface == "org.freedesktop.DBus.Properties") {
        const std::string which = args.String();
        if (member == "Get") {
            const std::string name = args.String();
            if (!PutProperty(shown, own, object, which, name, &out)) {
                dbus_message_unref(reply);
                return dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_PROPERTY, "no such property");
            }
            return reply;
        }
        if (member == "GetAll") {
            DBusMessageIter dict, entry;
            dbus_message_iter_open_container(&out, DBUS_TYPE_ARRAY, "{sv}", &dict);
            for (const auto &property : kProperties) {
                if (which != property[0]) continue;
                dbus_message_iter_open_container(&dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
                PutString(&entry, property[1]);
                if (!PutProperty(shown, own, object, which, property[1], &entry)) {
                    dbus_message_iter_abandon_container(&dict, &entry);
                    continue;
                }
                dbus_message_iter_close_container(&dict, &entry);
            }
            dbus_message_iter_close_container(&out, &dict);
            return reply;
        }
        if (member == "Set") {
            const std::string name = args.String();
            if (which == "org.a11y.atspi.Value" && name == "CurrentValue" && IsField(shown, object)) {
                const double value = args.VariantNumber();
                Replace(*node, std::to_string(static_cast<long>(value)), requests);
            }
            return reply;
        }
        return fail();
    }

    if (interface == "org.a11y.atspi.Accessible") {
        if (member == "GetChildAtIndex") {
            const int index = args.Int();
            const std::vector<int> children = ChildrenOf(shown, object);
            if (index >= 0 && index < static_cast<int>(children.size())) PutRef(&out, own, PathOf(children[static_cast<size_t>(index)]));
            else PutRef(&out, "", "/org/a11y/atspi/null");
        } else if (member == "GetChildren") {
            DBusMessageIter a;
            dbus_message_iter_open_container(&out, DBUS_TYPE_ARRAY, "(so)", &a);
            for (int child : ChildrenOf(shown, object)) PutRef(&a, own, PathOf(child));
            dbus_message_iter_close_container(&out, &a);
        } else if (member == "GetIndexInParent") {
            PutInt(&out, object <= 0 ? 0 : object - 1);
        } else if (member == "GetRelationSet") {
            PutEmptyDict(&out, "(ua(so))");
        } else if (member == "GetRole") {
            PutUint(&out, RoleOf(shown, object));
        } else if (member == "GetRoleName" || member == "GetLocalizedRoleName") {
            PutString(&out, RoleName(RoleOf(shown, object)));
        } else if (member == "GetState") {
            uint32_t bits[2];
            StatesOf(shown, object, bits);
            DBusMessageIter a;
            dbus_message_iter_open_container(&out, DBUS_TYPE_ARRAY, "u", &a);
            PutUint(&a, bits[0]);
            PutUint(&a, bits[1]);
            dbus_message_iter_close_container(&out, &a);
        } else if (member == "GetAttributes") {
            PutEmptyDict(&out, "{ss}");
        } else if (member == "GetApplication") {
            PutRef(&out, own, kRootPath);
        } else if (member == "GetInterfaces") {
            DBusMessageIter a;
            dbus_message_iter_open_container(&out, DBUS_TYPE_ARRAY, "s", &a);
            for (const char *name : InterfacesOf(shown, object)) PutString(&a, name);
            dbus_message_iter_close_container(&out, &a);
        } else {
            return fail();
        }
        return reply;
    }

    if (interface == "org.a11y.atspi.Application" && object == -1) {
        if (member == "GetLocale") PutString(&out, "en");
        else if (member == "GetApplicationBusAddress") PutString(&out, "");
        else if (member != "RegisterEventListener" && member != "DeregisterEventListener") return fail();
        return reply;
    }

    if (!node) return fail();
    int box[4];
    if (interface == "org.a11y.atspi.Component") {
        if (member == "GetExtents") {
            BoxOf(shown, object, args.Uint(), box);
            PutBox(&out, box, true);
        } else if (member == "GetPosition") {
            BoxOf(shown, object, args.Uint(), box);
            PutInt(&out, box[0]);
            PutInt(&out, box[1]);
        } else if (member == "GetSize") {
            PutInt(&out, node->width);
            PutInt(&out, node->height);
        } else if (member == "Contains") {
            const int x = args.Int(), y = args.Int();
            BoxOf(shown, object, args.Uint(), box);
            PutBool(&out, x >= box[0] && y >= box[1] && x < box[0] + box[2] && y < box[1] + box[3]);
        } else if (member == "GetAccessibleAtPoint") {
            const int x = args.Int(), y = args.Int();
            const uint32_t coordinates = args.Uint();
            int found = -1;
            for (int child : ChildrenOf(shown, object)) {
                BoxOf(shown, child, coordinates, box);
                if (x >= box[0] && y >= box[1] && x < box[0] + box[2] && y < box[1] + box[3]) found = child;
            }
            if (found >= 0) PutRef(&out, own, PathOf(found));
            else PutRef(&out, "", "/org/a11y/atspi/null");
        } else if (member == "GetLayer") {
            PutUint(&out, object == 0 ? 7 : 3);  // a window; a widget
        } else if (member == "GetMDIZOrder") {
            const dbus_int16_t z = 0;
            dbus_message_iter_append_basic(&out, DBUS_TYPE_INT16, &z);
        } else if (member == "GetAlpha") {
            PutDouble(&out, 1.0);
        } else if (member == "GrabFocus") {
            const bool can = (node->role == Role::kTextField || node->role == Role::kButton) && !node->disabled;
            if (can) requests->push_back(ClickEvent(node->x + node->width / 2, node->y + node->height / 2));
            PutBool(&out, can);
        } else {
            return fail();
        }
        return reply;
    }

    if (interface == "org.a11y.atspi.Text" && HasText(shown, object)) {
        const std::string text = TextOf(shown, object);
        const int length = Length(text);
        if (member == "GetText") {
            const int start = args.Int(), end = args.Int();
            PutString(&out, Slice(text, start, end));
        } else if (member == "GetTextAtOffset" || member == "GetStringAtOffset" || member == "GetTextBeforeOffset" ||
                   member == "GetTextAfterOffset") {
            // A character at a time, or the whole line: the text is one.
            const int offset = args.Int();
            const uint32_t boundary = args.Uint();
            const bool character = boundary == 0;
            int start = 0, end = length;
            if (character) {
                start = member == "GetTextBeforeOffset" ? offset - 1 : member == "GetTextAfterOffset" ? offset + 1 : offset;
                end = start + 1;
                if (start < 0 || start >= length) start = end = 0;
            } else if (member != "GetTextAtOffset" && member != "GetStringAtOffset") {
                start = end = 0;
            }
            PutString(&out, Slice(text, start, end));
            PutInt(&out, start);
            PutInt(&out, end);
        } else if (member == "GetCharacterAtOffset") {
            const int offset = args.Int();
            const std::u32string chars = DecodeUtf8(text);
            PutInt(&out, offset >= 0 && offset < length ? static_cast<int>(chars[static_cast<size_t>(offset)]) : 0);
        } else if (member == "GetNSelections") {
            PutInt(&out, node->selection_start != node->selection_end ? 1 : 0);
        } else if (member == "GetSelection") {
            PutInt(&out, node->selection_start);
            PutInt(&out, node->selection_end);
        } else if (member == "GetCharacterExtents" || member == "GetRangeExtents") {
            if (member == "GetRangeExtents") args.Int();
            args.Int();
            BoxOf(shown, object, args.Uint(), box);
            PutBox(&out, box, false);
        } else if (member == "GetOffsetAtPoint") {
            PutInt(&out, -1);
        } else if (member == "GetAttributes" || member == "GetAttributeRun") {
            PutEmptyDict(&out, "{ss}");
            PutInt(&out, 0);
            PutInt(&out, length);
        } else if (member == "GetDefaultAttributes" || member == "GetDefaultAttributeSet") {
            PutEmptyDict(&out, "{ss}");
        } else if (member == "GetAttributeValue") {
            PutString(&out, "");
        } else if (member == "SetCaretOffset" || member == "AddSelection" || member == "RemoveSelection" ||
                   member == "SetSelection") {
            PutBool(&out, false);
        } else {
            return fail();
        }
        return reply;
    }

    if (interface == "org.a11y.atspi.EditableText" && IsField(shown, object)) {
        if (member == "SetTextContents") {
            Replace(*node, args.String(), requests);
            PutBool(&out, true);
        } else if (member == "CopyText") {
        } else if (member == "InsertText" || member == "CutText" || member == "DeleteText" || member == "PasteText") {
            PutBool(&out, false);
        } else {
            return fail();
        }
        return reply;
    }

    if (interface == "org.a11y.atspi.Image" && node->role == Role::kGraphic) {
        BoxOf(shown, object, member == "GetImageSize" ? kScreenCoordinates : args.Uint(), box);
        if (member == "GetImageExtents") PutBox(&out, box, true);
        else if (member == "GetImagePosition") {
            PutInt(&out, box[0]);
            PutInt(&out, box[1]);
        } else if (member == "GetImageSize") {
            PutInt(&out, box[2]);
            PutInt(&out, box[3]);
        } else {
            return fail();
        }
        return reply;
    }
    return fail();
}

}  // namespace platform::atspi
