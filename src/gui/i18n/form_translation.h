#pragma once

#include <string_view>

class QWidget;

namespace pelmora {

// Sets what one key of a window's section names to the value, read from the
// language file as 8-bit text in the system's code page. Components are the
// window's named descendants, matched without regard to case, and stop at
// windows of their own; a submenu answers as the item that opens it, and
// items added to a menu at run time carry no name and are never found.
// False when the key fits no form, names nothing the window has, or the
// value does not fit the property; nothing changed then.
bool ApplyTranslation(QWidget& window, std::string_view key, std::string_view value);

// Applies every entry of the window's section of the current language file,
// in file order, skipping silently what cannot be applied. Only what the file
// names changes: texts of an earlier language stay where it is silent. A
// null window is ignored.
void TranslateForm(QWidget* window);

// Translates every window the application owns: the named top-level windows
// without a parent. Dialogs translate themselves when they are created.
void TranslateAllForms();

// The language from the settings file, then every window in it.
void LoadLanguageNameAndRetranslate();

} // namespace pelmora
