#pragma once

#include <QLineEdit>

namespace pelmora {

// The host entry dialog's masked field. As the IP field it has fifteen
// positions, "000.000.000.000" with "_" for a blank digit: digits overwrite
// and move on over the fixed dots, "." in one of the first three groups
// jumps to the next group, anything else is refused with a beep, and Escape
// puts back the text the field had when it got the focus. Without the IP
// rules it is a plain text field.
class MaskEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskEdit(QWidget* parent);

    void SetIpRules(bool on);

    // Text the program places into the field is kept exactly: when it does
    // not fit the fifteen positions, the field holds it as it is and lets it
    // be edited freely.
    void SetProgramText(const QString& programText);

    // What the field shows, blank marks included.
    QString RawText() const { return displayText(); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsMasked() const { return !inputMask().isEmpty(); }
    void JumpToNextGroup();

    bool ipRules_ = false;
    QString textAtFocus_;
};

} // namespace pelmora
