#pragma once

#include <QSpinBox>

#include <cstdint>

namespace pelmora {

// A whole number, step 1, typed or stepped with the arrows.
//
// Unbounded, it spans the full signed 32-bit range (the intervals in
// milliseconds): while typing only digits, "+", "-", the locale's decimal
// separator and control keys other than Enter get through; anything else is
// refused with a beep. Text that is no whole number reads as 0.
//
// Bounded (a count from a minimum of 0 or more), only digits get through, at
// most as many as the maximum has; the arrows stop at the bounds, and a
// number typed outside them, or text that is none (read as 0), becomes the
// nearest bound when it is read or the field is left, as any bounded spin
// box does.
class SpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent);
    SpinEdit(QWidget* parent, std::int32_t minimum, std::int32_t maximum);

    // The number the text stands for now, within the bounds.
    std::int32_t Value() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QValidator::State validate(QString& input, int& position) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;

private:
    bool digitsOnly_ = false;
};

} // namespace pelmora
