#include "gui/config/font_chooser.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/config/font_conversion.h"
#include "gui/config/local_text.h"

namespace pelmora {
namespace {

// The sizes a font chooser offers on the platforms the program came from.
constexpr int kSmallestSize = 1;
constexpr int kLargestSize = 1638;

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

FontChooser::FontChooser(QWidget* owner)
    : QDialog(owner), face_(Named(new QFontComboBox(this), "cbFace")),
      size_(Named(new QSpinBox(this), "seSize")),
      bold_(Named(new QCheckBox(QStringLiteral("&Bold"), this), "cbBold")),
      italic_(Named(new QCheckBox(QStringLiteral("&Italic"), this), "cbItalic")),
      underline_(Named(new QCheckBox(QStringLiteral("&Underline"), this), "cbUnderline")),
      strikeOut_(Named(new QCheckBox(QStringLiteral("Stri&ke-out"), this), "cbStrikeOut")),
      colorButton_(Named(new QPushButton(this), "btnColor")),
      sample_(Named(new QLabel(QStringLiteral("AaBbYyZz"), this), "lbSample"))
{
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("Font"));

    face_->setInsertPolicy(QComboBox::NoInsert);
    size_->setRange(kSmallestSize, kLargestSize);
    colorButton_->setAutoDefault(false);
    // A large font shows cut off rather than stretching the chooser.
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    sample_->setFixedHeight(sample_->fontMetrics().height() * 3);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Font:"), face_);
    form->addRow(QStringLiteral("&Size:"), size_);
    form->addRow(QStringLiteral("&Colour:"), colorButton_);

    auto* effects = new QGridLayout;
    effects->addWidget(bold_, 0, 0);
    effects->addWidget(italic_, 0, 1);
    effects->addWidget(underline_, 1, 0);
    effects->addWidget(strikeOut_, 1, 1);

    auto* sampleBox = new QGroupBox(QStringLiteral("Sample"), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(sample_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(effects);
    layout->addWidget(sampleBox, 1);
    layout->addWidget(buttons);

    connect(face_, &QComboBox::editTextChanged, this, &FontChooser::ShowSample);
    connect(size_, &QSpinBox::valueChanged, this, &FontChooser::ShowSample);
    for (QCheckBox* effect : {bold_, italic_, underline_, strikeOut_}) {
        connect(effect, &QCheckBox::toggled, this, &FontChooser::ShowSample);
    }
    connect(colorButton_, &QPushButton::clicked, this, &FontChooser::ChooseColor);
}

bool FontChooser::Execute()
{
    ShowFont(font_);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    font_ = ChosenFont();
    return true;
}

void FontChooser::ShowFont(const PopUpFont& font)
{
    face_->setEditText(FromLocal8Bit(font.name));
    size_->setValue(std::clamp(font.size, kSmallestSize, kLargestSize));
    bold_->setChecked(font.bold);
    italic_->setChecked(font.italic);
    underline_->setChecked(font.underline);
    strikeOut_->setChecked(font.strikeOut);
    ShowColor(ToQColor(font.color));
    ShowSample();
}

PopUpFont FontChooser::ChosenFont() const
{
    PopUpFont font;
    font.name = ToLocal8Bit(face_->currentText());
    font.size = size_->value();
    font.color = FromQColor(color_);
    font.bold = bold_->isChecked();
    font.italic = italic_->isChecked();
    font.underline = underline_->isChecked();
    font.strikeOut = strikeOut_->isChecked();
    return font;
}

void FontChooser::ShowSample()
{
    sample_->setFont(ToQFont(ChosenFont()));
    QPalette palette = sample_->palette();
    palette.setColor(QPalette::WindowText, color_);
    sample_->setPalette(palette);
}

void FontChooser::ShowColor(const QColor& color)
{
    color_ = color;
    const int side = colorButton_->fontMetrics().height();
    QPixmap swatch(side * 2, side);
    swatch.fill(color);
    colorButton_->setIcon(QIcon(swatch));
    colorButton_->setIconSize(swatch.size());
    colorButton_->setText(color.name().toUpper());
}

void FontChooser::ChooseColor()
{
    const QColor chosen = QColorDialog::getColor(color_, this, QStringLiteral("Colour"));
    if (chosen.isValid()) {
        ShowColor(chosen);
        ShowSample();
    }
}

} // namespace pelmora
