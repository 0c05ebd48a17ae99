#pragma once

#include <QSpinBox>

#include <cstdint>

namespace pelmora {

// A whole number of milliseconds over the full signed 32-bit range, step 1.
// While typing only digits, "+", "-", the locale's decimal separator and
// control keys other than Enter get through; anything else is refused with
// a beep. Text that is no whole number reads as 0.
class SpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent);

    // The number the text stands for now, 0 when it stands for none.
    std::int32_t Value() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QValidator::State validate(QString& input, int& position) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;
};

} // namespace pelmora
