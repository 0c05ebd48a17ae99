#include "gui/config/spin_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <limits>

#include "core/monitor/hosts/host_rules.h"
#include "gui/config/local_text.h"

namespace pelmora {
namespace {

bool IsTypedKeyAccepted(const QString& typed, bool digitsOnly)
{
    if (typed.size() != 1) {
        // Keys without a character (arrows, function keys) pass; several
        // characters at once do not.
        return typed.isEmpty();
    }
    const QChar c = typed.front();
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
        return false;
    }
    const bool controlKey = c.unicode() < 0x20 || c.unicode() == 0x7F;
    if (controlKey || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
        return true;
    }
    return !digitsOnly &&
           (c == QLatin1Char('+') || c == QLatin1Char('-') || typed == QLocale().decimalPoint());
}

} // namespace

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setRange(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    setSingleStep(1);
}

SpinEdit::SpinEdit(QWidget* parent, std::int32_t minimum, std::int32_t maximum)
    : QSpinBox(parent), digitsOnly_(true)
{
    setRange(minimum, maximum);
    setSingleStep(1);
    // No more digits than the maximum has: a typed number never overflows, so
    // one that is too large becomes the maximum rather than 0.
    lineEdit()->setMaxLength(static_cast<int>(QString::number(maximum).size()));
}

std::int32_t SpinEdit::Value() const
{
    return std::clamp(valueFromText(lineEdit()->text()), minimum(), maximum());
}

void SpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (!IsTypedKeyAccepted(event->text(), digitsOnly_)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

// Whatever the keys let through stands; reading decides what it is worth.
QValidator::State SpinEdit::validate(QString& /*input*/, int& /*position*/) const
{
    return QValidator::Acceptable;
}

int SpinEdit::valueFromText(const QString& text) const
{
    return ParseDecimalInt32(ToLocal8Bit(text)).value_or(0);
}

// Plain decimal, whatever the locale: the text must read back as the same
// number.
QString SpinEdit::textFromValue(int value) const
{
    return QString::number(value);
}

} // namespace pelmora
