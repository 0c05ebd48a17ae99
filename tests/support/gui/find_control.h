#pragma once

#include <QLatin1String>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace pelmora::test {

// The child control a language file or a test addresses by its name; a
// missing one fails the test (and is returned as null).
template <typename T> T* FindControl(const QWidget& parent, const char* name)
{
    T* control = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// Clicks the named push button, as the user would.
inline void ClickButton(const QWidget& parent, const char* name)
{
    if (auto* button = FindControl<QPushButton>(parent, name)) {
        button->click();
    }
}

} // namespace pelmora::test
