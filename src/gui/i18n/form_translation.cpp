#include "gui/i18n/form_translation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include <string>
#include <utility>

#include "core/config/ini_document.h"
#include "core/config/ini_file.h"
#include "core/i18n/comma_text.h"
#include "core/i18n/form_section.h"
#include "core/i18n/languages.h"
#include "core/i18n/translation_key.h"
#include "gui/i18n/property_registry.h"

namespace pelmora {
namespace {

QString Local8Bit(std::string_view text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsWindowOfItsOwn(const QObject& object)
{
    const auto* widget = qobject_cast<const QWidget*>(&object);
    return widget != nullptr && widget->isWindow() && qobject_cast<const QMenu*>(widget) == nullptr;
}

// The children of a control (a spin field's edit line, a memo's scroll bars)
// are parts Qt builds, not components of the window.
bool HasInnerPartsOnly(const QObject& object)
{
    return qobject_cast<const QAbstractButton*>(&object) != nullptr ||
           qobject_cast<const QLabel*>(&object) != nullptr ||
           qobject_cast<const QLineEdit*>(&object) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(&object) != nullptr ||
           qobject_cast<const QAbstractItemView*>(&object) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(&object) != nullptr ||
           qobject_cast<const QTextEdit*>(&object) != nullptr ||
           qobject_cast<const QComboBox*>(&object) != nullptr;
}

bool HasName(const QObject& object, std::string_view name)
{
    const QByteArray objectName = object.objectName().toUtf8();
    return EqualsIgnoringCase(
        std::string_view(objectName.constData(), static_cast<std::size_t>(objectName.size())),
        name);
}

// The first named descendant in creation order, depth first.
QObject* FindDescendant(const QObject& parent, std::string_view name)
{
    for (QObject* child : parent.children()) {
        if (IsWindowOfItsOwn(*child)) {
            continue;
        }
        if (HasName(*child, name)) {
            return child;
        }
        if (!HasInnerPartsOnly(*child)) {
            if (QObject* found = FindDescendant(*child, name)) {
                return found;
            }
        }
    }
    return nullptr;
}

QObject* FindComponent(const QWidget& window, std::string_view name)
{
    QObject* found = FindDescendant(window, name);
    // A submenu is reached through the menu item that opens it, which
    // carries its caption.
    if (auto* menu = qobject_cast<QMenu*>(found);
        menu != nullptr && !menu->menuAction()->associatedObjects().isEmpty()) {
        return menu->menuAction();
    }
    return found;
}

// Applies a value to a whole property by the kind of value it takes; false
// when the value cannot be read in that kind or lies outside its range.
class WholeValue {
public:
    WholeValue(QObject& target, std::string_view value) : target_(target), value_(value) {}

    bool operator()(const TextProperty& property) const
    {
        property.set(target_, Local8Bit(value_));
        return true;
    }

    bool operator()(const IntegerProperty& property) const
    {
        const auto number = ParseProfileInteger(value_);
        if (!number || *number < property.min || *number > property.max) {
            return false;
        }
        property.set(target_, *number);
        return true;
    }

    bool operator()(const EnumProperty& property) const
    {
        const auto ordinal = ParseProfileInteger(value_);
        if (!ordinal || *ordinal < 0 || *ordinal >= property.count) {
            return false;
        }
        property.set(target_, *ordinal);
        return true;
    }

    bool operator()(const CharacterProperty& property) const
    {
        const QString text = Local8Bit(value_);
        if (text.isEmpty()) {
            return false;
        }
        // Two units cover a character outside the basic plane.
        property.set(target_, text.left(2).toUcs4().front());
        return true;
    }

    bool operator()(const FloatProperty& property) const
    {
        bool ok = false;
        const double number = QLocale().toDouble(Local8Bit(value_), &ok);
        if (!ok || number < property.min || number > property.max) {
            return false;
        }
        property.set(target_, number);
        return true;
    }

    bool operator()(const StringListProperty& property) const
    {
        QStringList items;
        for (const std::string& item : SplitCommaText(value_)) {
            items.append(Local8Bit(item));
        }
        property.set(target_, items);
        return true;
    }

private:
    QObject& target_;
    std::string_view value_;
};

bool ApplyWhole(QObject& target, std::string_view propertyName, std::string_view value)
{
    const auto property = FindNamedProperty(target, propertyName);
    return property && std::visit(WholeValue(target, value), *property);
}

bool ApplyListString(QObject& component, std::string_view propertyName, std::int32_t index,
                     std::string_view value)
{
    const auto property = FindNamedProperty(component, propertyName);
    const auto* list = property ? std::get_if<StringListProperty>(&*property) : nullptr;
    if (list == nullptr) {
        return false;
    }
    QStringList items = list->get(component);
    if (index < 0 || index >= items.size()) {
        return false;
    }
    items[index] = Local8Bit(value);
    list->set(component, items);
    return true;
}

} // namespace

bool ApplyTranslation(QWidget& window, std::string_view key, std::string_view value)
{
    const auto parsed = ParseTranslationKey(key);
    if (!parsed) {
        return false;
    }
    if (parsed->form == KeyForm::Name) {
        QObject* component = FindComponent(window, parsed->component);
        if (component == nullptr) {
            return ApplyWhole(window, parsed->component, value);
        }
        const std::string_view implied = ImpliedProperty(*component);
        return !implied.empty() && ApplyWhole(*component, implied, value);
    }
    QObject* component = FindComponent(window, parsed->component);
    if (component == nullptr) {
        return false;
    }
    switch (parsed->form) {
    case KeyForm::Property: return ApplyWhole(*component, parsed->property, value);
    case KeyForm::Item:
        // The INI reader trims a value; a leading "." lets an item keep the
        // blank after it.
        if (value.starts_with('.')) {
            value.remove_prefix(1);
        }
        return ApplyListString(*component, parsed->property, parsed->index, value);
    case KeyForm::ListString:
        return ApplyListString(*component, parsed->property, parsed->index, value);
    case KeyForm::Name: break;
    }
    return false;
}

void TranslateForm(QWidget* window)
{
    if (window == nullptr) {
        return;
    }
    const IniDocument file = ReadIniFile(LanguageFilePath(CurrentLanguage()));
    const std::string windowName = window->objectName().toStdString();
    const std::string_view section = FormSectionName(windowName);
    for (const std::string& key : file.KeyNames(section)) {
        // The first key of a name gives the value, as for any profile read.
        ApplyTranslation(*window, key, file.Value(section, key).value_or(std::string()));
    }
}

void TranslateAllForms()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->parentWidget() == nullptr && !widget->objectName().isEmpty()) {
            TranslateForm(widget);
        }
    }
}

void LoadLanguageNameAndRetranslate()
{
    LoadLanguageName();
    TranslateAllForms();
}

} // namespace pelmora
