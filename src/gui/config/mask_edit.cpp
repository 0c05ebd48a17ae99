#include "gui/config/mask_edit.h"

#include <QApplication>
#include <QKeyEvent>

namespace pelmora {
namespace {

constexpr QLatin1String kIpMask("000.000.000.000;_");

// Every group is three digits and its dot.
constexpr int kGroupWidth = 4;
constexpr int kLastGroupStart = 12;

} // namespace

MaskEdit::MaskEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::inputRejected, this, [this] {
        if (ipRules_) {
            QApplication::beep();
        }
    });
}

void MaskEdit::SetIpRules(bool on)
{
    ipRules_ = on;
    setInputMask(on ? kIpMask : QString());
}

void MaskEdit::SetProgramText(const QString& programText)
{
    if (ipRules_) {
        setInputMask(kIpMask);
    }
    // The empty text is the all-blank field.
    setText(programText);
    if (IsMasked() && !programText.isEmpty() && displayText() != programText) {
        setInputMask(QString());
        setText(programText);
    }
}

void MaskEdit::focusInEvent(QFocusEvent* event)
{
    textAtFocus_ = displayText();
    QLineEdit::focusInEvent(event);
}

void MaskEdit::keyPressEvent(QKeyEvent* event)
{
    if (ipRules_ && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        SetProgramText(textAtFocus_);
        event->accept();
        return;
    }
    if (ipRules_ && IsMasked() && event->text() == QStringLiteral(".")) {
        JumpToNextGroup();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void MaskEdit::JumpToNextGroup()
{
    const int position = hasSelectedText() ? selectionStart() : cursorPosition();
    if (position >= kLastGroupStart) {
        QApplication::beep();
        return;
    }
    deselect();
    setCursorPosition((position / kGroupWidth + 1) * kGroupWidth);
}

} // namespace pelmora
