// The window's AT-SPI2 objects read off a Snapshot, and the pieces of
// D-Bus messages they are written with: shared by the answers to calls
// (atspi_answer.cpp) and the events (atspi_objects.cpp).
#ifndef RGBHSV_PLATFORM_ATSPI_MODEL_H
#define RGBHSV_PLATFORM_ATSPI_MODEL_H

#include <dbus/dbus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "atspi_objects.h"

namespace platform::atspi {

constexpr uint32_t kScreenCoordinates = 0;

// The object a path names: -1 the application, N node N; -2 none.
int ObjectOf(const Snapshot &shown, const char *path);
std::string PathOf(int object);
const AccessibleNode *NodeOf(const Snapshot &shown, int object);
bool IsField(const Snapshot &shown, int object);
bool HasText(const Snapshot &shown, int object);
uint32_t RoleOf(const Snapshot &shown, int object);
const char *RoleName(uint32_t role);
std::vector<int> ChildrenOf(const Snapshot &shown, int object);
// A field's or a label's text, a part of it by characters, its length.
std::string TextOf(const Snapshot &shown, int object);
std::string Slice(const std::string &text, int start, int end);
int Length(const std::string &text);
// The focused field's caret; -1 for any other object.
int CaretOf(const Snapshot &shown, int object);
// The focused control; -1 where none is.
int FocusedOf(const Snapshot &shown);
void StatesOf(const Snapshot &shown, int object, uint32_t bits[2]);
std::vector<const char *> InterfacesOf(const Snapshot &shown, int object);
// The object's box: on the screen, or in the window.
void BoxOf(const Snapshot &shown, int object, uint32_t coordinates, int box[4]);
// What a person does to put `text` in a field: a click on it, everything
// in it selected, then the text typed over it (or deleted).
void Replace(const AccessibleNode &field, const std::string &text, std::vector<InputEvent> *requests);

void PutString(DBusMessageIter *it, const std::string &s);
void PutInt(DBusMessageIter *it, int v);
void PutUint(DBusMessageIter *it, uint32_t v);
void PutBool(DBusMessageIter *it, bool v);
void PutDouble(DBusMessageIter *it, double v);
void PutRef(DBusMessageIter *it, const std::string &name, const std::string &path);
void PutEmptyDict(DBusMessageIter *it, const char *signature);
// Four ints: a struct (iiii), or four arguments.
void PutBox(DBusMessageIter *it, const int box[4], bool as_struct);

}  // namespace platform::atspi

#endif
