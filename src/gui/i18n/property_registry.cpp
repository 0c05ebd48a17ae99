#include "gui/i18n/property_registry.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <array>

#include "core/config/ini_document.h"

namespace pelmora {
namespace {

constexpr const char* kSkinnedButton = "pelmoraSkinnedButton";

// The tray shows at most this many characters of a tip.
constexpr qsizetype kTrayTipLength = 127;

enum class Kind : std::uint8_t {
    Window,
    PushButton,
    SkinnedButton,
    SpeedButton,
    CheckBox,
    OtherButton,
    Label,
    GroupBox,
    Edit,
    SpinField,
    Memo,
    ListBox,
    ComboBox,
    OtherControl,
    MenuItem,
    TrayIcon,
    Other,
};

using KindSet = std::uint32_t;

template <typename... K> constexpr KindSet Kinds(K... kinds)
{
    return ((KindSet{1} << static_cast<unsigned>(kinds)) | ...);
}

constexpr KindSet kButtons = Kinds(Kind::PushButton, Kind::SkinnedButton, Kind::SpeedButton,
                                   Kind::CheckBox, Kind::OtherButton);
constexpr KindSet kWidgets =
    kButtons | Kinds(Kind::Window, Kind::Label, Kind::GroupBox, Kind::Edit, Kind::SpinField,
                     Kind::Memo, Kind::ListBox, Kind::ComboBox, Kind::OtherControl);

Kind KindOf(const QObject& object)
{
    if (qobject_cast<const QAction*>(&object) != nullptr) {
        return Kind::MenuItem;
    }
    if (qobject_cast<const QSystemTrayIcon*>(&object) != nullptr) {
        return Kind::TrayIcon;
    }
    const auto* widget = qobject_cast<const QWidget*>(&object);
    // A menu is no control: its items are the components.
    if (widget == nullptr || qobject_cast<const QMenu*>(widget) != nullptr) {
        return Kind::Other;
    }
    if (widget->isWindow()) {
        return Kind::Window;
    }
    if (qobject_cast<const QPushButton*>(widget) != nullptr) {
        return widget->property(kSkinnedButton).toBool() ? Kind::SkinnedButton : Kind::PushButton;
    }
    if (qobject_cast<const QToolButton*>(widget) != nullptr) {
        return Kind::SpeedButton;
    }
    if (qobject_cast<const QCheckBox*>(widget) != nullptr) {
        return Kind::CheckBox;
    }
    if (qobject_cast<const QAbstractButton*>(widget) != nullptr) {
        return Kind::OtherButton;
    }
    if (qobject_cast<const QLabel*>(widget) != nullptr) {
        return Kind::Label;
    }
    if (qobject_cast<const QGroupBox*>(widget) != nullptr) {
        return Kind::GroupBox;
    }
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
        return Kind::Edit;
    }
    if (qobject_cast<const QAbstractSpinBox*>(widget) != nullptr) {
        return Kind::SpinField;
    }
    if (qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
        qobject_cast<const QTextEdit*>(widget) != nullptr) {
        return Kind::Memo;
    }
    if (qobject_cast<const QListWidget*>(widget) != nullptr) {
        return Kind::ListBox;
    }
    if (qobject_cast<const QComboBox*>(widget) != nullptr) {
        return Kind::ComboBox;
    }
    return Kind::OtherControl;
}

// The registry only hands an object to the setters of its own kind.
template <typename T> T& As(QObject& object)
{
    return static_cast<T&>(object);
}

template <typename T> const T& As(const QObject& object)
{
    return static_cast<const T&>(object);
}

Qt::Alignment HorizontalAlignment(std::int32_t ordinal)
{
    static constexpr std::array<Qt::AlignmentFlag, 3> kAlignments{Qt::AlignLeft, Qt::AlignRight,
                                                                  Qt::AlignHCenter};
    return kAlignments.at(static_cast<std::size_t>(ordinal));
}

void SetLabelAlignment(QObject& object, std::int32_t ordinal)
{
    auto& label = As<QLabel>(object);
    label.setAlignment((label.alignment() & Qt::AlignVertical_Mask) | HorizontalAlignment(ordinal));
}

// Qt draws the echo character from the style; the widget's own style sheet
// chooses it.
void SetPasswordCharacter(QObject& object, char32_t character)
{
    auto& edit = As<QLineEdit>(object);
    edit.setEchoMode(QLineEdit::Password);
    edit.setStyleSheet(QStringLiteral("lineedit-password-character: %1")
                           .arg(static_cast<std::uint32_t>(character)));
}

void SetTrayHint(QObject& object, const QString& hint)
{
    // An empty hint gives the icon no tip at all.
    QString tip = hint.left(kTrayTipLength);
    if (!tip.isEmpty() && tip.back().isHighSurrogate()) {
        tip.chop(1);
    }
    object.setProperty(kTrayHintProperty, tip);
    As<QSystemTrayIcon>(object).setToolTip(tip);
}

QStringList ListBoxItems(const QObject& object)
{
    const auto& list = As<QListWidget>(object);
    QStringList items;
    for (int row = 0; row < list.count(); ++row) {
        items.append(list.item(row)->text());
    }
    return items;
}

// Rows that stay keep their selection and data; only their texts change.
void SetListBoxItems(QObject& object, const QStringList& items)
{
    auto& list = As<QListWidget>(object);
    while (list.count() > items.size()) {
        delete list.takeItem(list.count() - 1);
    }
    for (int row = 0; row < items.size(); ++row) {
        if (row < list.count()) {
            list.item(row)->setText(items[row]);
        } else {
            list.addItem(items[row]);
        }
    }
}

QStringList ComboBoxItems(const QObject& object)
{
    const auto& combo = As<QComboBox>(object);
    QStringList items;
    for (int index = 0; index < combo.count(); ++index) {
        items.append(combo.itemText(index));
    }
    return items;
}

void SetComboBoxItems(QObject& object, const QStringList& items)
{
    auto& combo = As<QComboBox>(object);
    while (combo.count() > items.size()) {
        combo.removeItem(combo.count() - 1);
    }
    for (int index = 0; index < items.size(); ++index) {
        if (index < combo.count()) {
            combo.setItemText(index, items[index]);
        } else {
            combo.addItem(items[index]);
        }
    }
}

struct Row {
    KindSet kinds;
    std::string_view name;
    NamedProperty property;
};

// X11 keeps window positions and sizes in 16 bits.
constexpr std::int32_t kMaxExtent = 32767;

// Nothing is of use larger than all screens together, and a window that large
// would need a backing store of gigabytes the moment it is shown.
QSize LargestSize(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    return screen != nullptr ? screen->virtualSize() : QSize(kMaxExtent, kMaxExtent);
}

void SetWidth(QObject& object, std::int32_t width)
{
    auto& widget = As<QWidget>(object);
    widget.resize(std::min(width, LargestSize(widget).width()), widget.height());
}

void SetHeight(QObject& object, std::int32_t height)
{
    auto& widget = As<QWidget>(object);
    widget.resize(widget.width(), std::min(height, LargestSize(widget).height()));
}

constexpr std::array kRegistry{
    Row{kWidgets, "Hint",
        TextProperty{[](QObject& o, const QString& v) { As<QWidget>(o).setToolTip(v); }}},
    Row{kWidgets, "Visible",
        EnumProperty{2, [](QObject& o, std::int32_t v) { As<QWidget>(o).setVisible(v == 1); }}},
    Row{kWidgets, "Enabled",
        EnumProperty{2, [](QObject& o, std::int32_t v) { As<QWidget>(o).setEnabled(v == 1); }}},
    Row{kWidgets, "Left",
        IntegerProperty{
            -kMaxExtent, kMaxExtent,
            [](QObject& o, std::int32_t v) { As<QWidget>(o).move(v, As<QWidget>(o).y()); }}},
    Row{kWidgets, "Top",
        IntegerProperty{
            -kMaxExtent, kMaxExtent,
            [](QObject& o, std::int32_t v) { As<QWidget>(o).move(As<QWidget>(o).x(), v); }}},
    Row{kWidgets, "Width", IntegerProperty{0, kMaxExtent, SetWidth}},
    Row{kWidgets, "Height", IntegerProperty{0, kMaxExtent, SetHeight}},
    Row{Kinds(Kind::Window), "Caption",
        TextProperty{[](QObject& o, const QString& v) { As<QWidget>(o).setWindowTitle(v); }}},
    Row{Kinds(Kind::Window), "Opacity",
        FloatProperty{0.0, 1.0, [](QObject& o, double v) { As<QWidget>(o).setWindowOpacity(v); }}},
    Row{kButtons, "Caption",
        TextProperty{[](QObject& o, const QString& v) { As<QAbstractButton>(o).setText(v); }}},
    Row{Kinds(Kind::Label), "Caption",
        TextProperty{[](QObject& o, const QString& v) { As<QLabel>(o).setText(v); }}},
    Row{Kinds(Kind::Label), "Alignment", EnumProperty{3, SetLabelAlignment}},
    Row{Kinds(Kind::GroupBox), "Caption",
        TextProperty{[](QObject& o, const QString& v) { As<QGroupBox>(o).setTitle(v); }}},
    Row{Kinds(Kind::Edit), "Text",
        TextProperty{[](QObject& o, const QString& v) { As<QLineEdit>(o).setText(v); }}},
    Row{Kinds(Kind::Edit), "PasswordChar", CharacterProperty{SetPasswordCharacter}},
    Row{Kinds(Kind::ListBox), "Items", StringListProperty{ListBoxItems, SetListBoxItems}},
    Row{Kinds(Kind::ComboBox), "Items", StringListProperty{ComboBoxItems, SetComboBoxItems}},
    Row{Kinds(Kind::MenuItem), "Caption",
        TextProperty{[](QObject& o, const QString& v) { As<QAction>(o).setText(v); }}},
    Row{Kinds(Kind::MenuItem), "Hint",
        TextProperty{[](QObject& o, const QString& v) { As<QAction>(o).setToolTip(v); }}},
    Row{Kinds(Kind::MenuItem), "Visible",
        EnumProperty{2, [](QObject& o, std::int32_t v) { As<QAction>(o).setVisible(v == 1); }}},
    Row{Kinds(Kind::MenuItem), "Enabled",
        EnumProperty{2, [](QObject& o, std::int32_t v) { As<QAction>(o).setEnabled(v == 1); }}},
    Row{Kinds(Kind::TrayIcon), "Hint", TextProperty{SetTrayHint}},
};

} // namespace

std::optional<NamedProperty> FindNamedProperty(const QObject& object, std::string_view name)
{
    const KindSet kind = Kinds(KindOf(object));
    for (const Row& row : kRegistry) {
        if ((row.kinds & kind) != 0 && EqualsIgnoringCase(row.name, name)) {
            return row.property;
        }
    }
    return std::nullopt;
}

std::string_view ImpliedProperty(const QObject& component)
{
    switch (KindOf(component)) {
    case Kind::PushButton:
    case Kind::SpeedButton:
    case Kind::CheckBox:
    case Kind::Label:
    case Kind::GroupBox:
    case Kind::MenuItem: return "Caption";
    case Kind::Edit:
    case Kind::SpinField:
    case Kind::Memo: return "Text";
    default: return {};
    }
}

void MarkAsSkinnedButton(QAbstractButton& button)
{
    button.setProperty(kSkinnedButton, true);
}

} // namespace pelmora
