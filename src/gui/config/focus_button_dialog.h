#pragma once

#include <QDialog>
#include <QSize>

class QPushButton;

namespace pelmora {

// A configuration dialog without a default or cancel button: Enter presses
// the push button that has the focus and nothing else, Escape closes
// nothing. The size is the designed one, or larger where the texts of the
// current language and font need more room, and the user cannot change it.
class FocusButtonDialog : public QDialog {
    Q_OBJECT
public:
    FocusButtonDialog(QWidget* owner, QSize designedClientSize);

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // A push button that Enter presses only while it has the focus.
    QPushButton* AddButton(const char* name, const QString& caption);
    // Fits the fixed size to the contents again (after a translation).
    void FitSize();
    void CentreOnScreen();

private:
    QSize designedClientSize_;
};

} // namespace pelmora
