#pragma once

#include <QColor>
#include <QDialog>

#include "core/config/settings.h"

class QCheckBox;
class QFontComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace pelmora {

// Chooses the pop-up font in one place: face, size in points, bold, italic,
// underline, strike-out and colour, with a sample. The face is kept as
// written, even when this system has no font of that name.
class FontChooser final : public QDialog {
    Q_OBJECT
public:
    explicit FontChooser(QWidget* owner);

    const PopUpFont& Font() const { return font_; }
    void SetFont(const PopUpFont& font) { font_ = font; }

    // Offers the font for change; true, with the new font kept, on OK.
    bool Execute();

private:
    void ShowFont(const PopUpFont& font);
    PopUpFont ChosenFont() const;
    void ShowSample();
    void ShowColor(const QColor& color);
    void ChooseColor();

    PopUpFont font_;
    QColor color_;
    QFontComboBox* face_;
    QSpinBox* size_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QCheckBox* strikeOut_;
    QPushButton* colorButton_;
    QLabel* sample_;
};

} // namespace pelmora
