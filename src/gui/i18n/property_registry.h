#pragma once

#include <QStringList>

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

class QAbstractButton;
class QObject;
class QString;

namespace pelmora {

// The tray icon keeps the hint a language file gave it under this dynamic
// property, so that what the program adds to its tooltip can go beside it.
inline constexpr const char* kTrayHintProperty = "trayHint";

// The named properties a language file can set on a window and its
// components, by the kind of value each takes. The setters change the Qt
// property that shows the same thing, exactly as the program's own code
// would, so whatever the widget does on such a change happens.
struct TextProperty {
    void (*set)(QObject&, const QString&);
};
struct IntegerProperty {
    std::int32_t min;
    std::int32_t max;
    void (*set)(QObject&, std::int32_t);
};
// Yes/no (0 = no, 1 = yes) and other enumerations, by ordinal 0 .. count-1.
struct EnumProperty {
    std::int32_t count;
    void (*set)(QObject&, std::int32_t);
};
struct CharacterProperty {
    void (*set)(QObject&, char32_t);
};
struct FloatProperty {
    double min;
    double max;
    void (*set)(QObject&, double);
};
struct StringListProperty {
    QStringList (*get)(const QObject&);
    void (*set)(QObject&, const QStringList&);
};
using NamedProperty = std::variant<TextProperty, IntegerProperty, EnumProperty, CharacterProperty,
                                   FloatProperty, StringListProperty>;

// The property `name` (without regard to case) that the object's kind
// publishes; nothing when it publishes none of that name.
//
// Every widget: Hint (tool tip), Visible, Enabled (yes/no), Left, Top, Width,
// Height. Windows: Caption, Opacity (floating point, 0 to 1). Buttons and
// check boxes: Caption. Labels: Caption, Alignment (0 left, 1 right,
// 2 centre). Group boxes: Caption. Edit fields: Text, PasswordChar. List and
// combo boxes: Items. Menu items: Caption, Hint, Visible, Enabled. The tray
// icon: Hint. Spin fields and memos publish no Text; menus, timers and
// other objects publish nothing.
std::optional<NamedProperty> FindNamedProperty(const QObject& object, std::string_view name);

// The property that a key naming only the component sets: Caption for push
// and speed buttons, menu items, check boxes, labels and group boxes; Text
// for edit fields, spin fields and memos (of which only edit fields publish
// it); empty for every other kind, list and combo boxes included.
std::string_view ImpliedProperty(const QObject& component);

// A skinned button publishes Caption like any button but has no implied
// property, so only "<name>.Caption" renames it.
void MarkAsSkinnedButton(QAbstractButton& button);

} // namespace pelmora
