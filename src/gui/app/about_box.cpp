#include "gui/app/about_box.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "core/base/app_paths.h"
#include "gui/app/link_label.h"
#include "gui/app/maker_info.h"
#include "gui/help/help_context.h"
#include "gui/i18n/form_translation.h"
#include "gui/i18n/property_registry.h"

namespace pelmora {
namespace {

constexpr int kClientWidth = 269;
constexpr int kClientHeight = 344;
// Texts end this far from the right edge at the latest.
constexpr int kRightMargin = 6;

// The box is laid out for 96 dots per inch and grows with a screen that
// reports more without scaling the windows itself.
double ScreenScale()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? 1.0 : std::max(1.0, screen->logicalDotsPerInch() / 96.0);
}

// The dialog font and the typewriter font, each followed by the nearest
// fonts a desktop without them is likely to have.
QFont DialogFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Arial"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

QFont TypewriterFont(const QString& first, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({first, QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Cousine"), QStringLiteral("Nimbus Mono PS"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont LawsFont(int pixelSize)
{
    return TypewriterFont(QStringLiteral("Courier New"), pixelSize, false);
}

int WrappedHeight(const QFont& font, int width, const QString& text)
{
    return QFontMetrics(font)
        .boundingRect(QRect(0, 0, width, QWIDGETSIZE_MAX),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text)
        .height();
}

// The largest size from `largest` down to `smallest` at which the text fits;
// `smallest` when none does.
int LargestFittingSize(int largest, int smallest, const std::function<bool(int)>& fits)
{
    for (int size = largest; size > smallest; --size) {
        if (fits(size)) {
            return size;
        }
    }
    return smallest;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      scale_(ScreenScale())
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About..."));
    setModal(true);
    BuildControls();

    lbProgName_->setText(QStringLiteral("Tamsel Vexmon"));
    lbVer_->setText(QStringLiteral(PELMORA_VERSION));
    TranslateForm(this);
    FitTexts();
    ShowSettingsFile();

    const QSize client(Scaled(kClientWidth), Scaled(kClientHeight));
    setFixedSize(client);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
}

int TfrmAbout::Scaled(int units) const
{
    return static_cast<int>(std::lround(units * scale_));
}

QRect TfrmAbout::Place(int left, int top, int width, int height) const
{
    return {Scaled(left), Scaled(top), Scaled(width), Scaled(height)};
}

void TfrmAbout::BuildControls()
{
    const auto label = [this](const char* name, const QString& text, const QRect& place) {
        auto* made = new QLabel(text, this);
        made->setObjectName(QLatin1String(name));
        made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        made->setGeometry(place);
        return made;
    };
    const auto link = [this](const char* name, const char* address, const QRect& place,
                             void (TfrmAbout::*onClick)()) {
        auto* made =
            new LinkLabel(QLatin1String(address), this, [this, onClick] { (this->*onClick)(); });
        made->setObjectName(QLatin1String(name));
        made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        made->setGeometry(place);
        return made;
    };

    plLogo_ = new QFrame(this);
    plLogo_->setObjectName(QStringLiteral("plLogo"));
    plLogo_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    plLogo_->setLineWidth(1);
    plLogo_->setGeometry(Place(11, 10, 36, 195));
    Image1_ = new QLabel(plLogo_);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setGeometry(plLogo_->contentsRect());
    Image1_->setPixmap(MakerLogo(scale_, plLogo_->devicePixelRatioF()));

    lbProgName_ = label("lbProgName", {}, Place(64, 12, 120, 23));
    lbProgName_->setFont(TypewriterFont(QStringLiteral("Courier New"), Scaled(20), true));
    lbProgName_->setStyleSheet(QStringLiteral("color: rgb(95, 65, 50);"));
    lbVer_ = label("lbVer", {}, Place(64, 36, 118, 13));
    lbVer_->setFont(TypewriterFont(QStringLiteral("Courier"), Scaled(13), true));
    lbCopyright_ = label("lbCopyright", QLatin1String(kMakerCopyright), Place(64, 56, 166, 13));
    lbInfo1_ = label("lbInfo1", QStringLiteral("This programm is designed and writed by:"),
                     Place(63, 77, 194, 13));
    lbInfo2_ = label("lbInfo2", QLatin1String(kMakerAuthor), Place(64, 90, 80, 13));
    lbFeedback_ =
        label("lbFeedback", QStringLiteral("For feedback mail to:"), Place(64, 117, 99, 13));
    Label6_ = link("Label6", kMakerSupportMail, Place(64, 132, 133, 13), &TfrmAbout::Label6Click);
    lbSupport1_ = label("lbSupport1", QStringLiteral("You can download a newest version of "),
                        Place(64, 157, 187, 13));
    lbSupport2_ = label("lbSupport2", QStringLiteral("programm and other products from:"),
                        Place(64, 169, 164, 13));
    Label9_ = link("Label9", kMakerWebSite, Place(64, 185, 114, 13), &TfrmAbout::Label9Click);

    Bevel1_ = new QFrame(this);
    Bevel1_->setObjectName(QStringLiteral("Bevel1"));
    Bevel1_->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1_->setGeometry(Place(10, 214, 252, 3));

    lbLaws_ = label("lbLaws", QStringLiteral("lbLaws"), Place(6, 223, 257, 73));
    lbLaws_->setWordWrap(true);

    // Beside the button: which settings file this copy uses.
    lbSettingsFile_ =
        label("lbSettingsFile", QStringLiteral("Settings file:"), Place(6, 300, 170, 22));
    lbSettingsFile_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setObjectName(QStringLiteral("btnOK"));
    MarkAsSkinnedButton(*btnOK_);
    btnOK_->setGeometry(Place(181, 300, 75, 22));
    connect(btnOK_, &QPushButton::clicked, this, &TfrmAbout::btnOKClick);

    for (QWidget* control : std::initializer_list<QWidget*>{
             Image1_, lbProgName_, lbVer_, lbCopyright_, lbInfo1_, lbInfo2_, lbFeedback_, Label6_,
             lbSupport2_, Label9_, Bevel1_, lbLaws_, lbSettingsFile_, btnOK_}) {
        SetHelpContext(control, HelpContext::About);
    }
}

// Desktops seldom have the fonts the box was drawn with, and translations
// run longer than the built-in texts: every text keeps its place and takes
// the largest size that shows it whole.
void TfrmAbout::FitTexts()
{
    const int rightEdge = Scaled(kClientWidth - kRightMargin);
    const auto fitsInLine = [rightEdge](const QLabel* label, const QFont& font) {
        return QFontMetrics(font).horizontalAdvance(label->text()) <= rightEdge - label->x();
    };

    const std::array<QLabel*, 8> dialogTexts{lbCopyright_, lbInfo1_,    lbInfo2_,    lbFeedback_,
                                             Label6_,      lbSupport1_, lbSupport2_, Label9_};
    const QFont dialogFont = DialogFont(LargestFittingSize(Scaled(11), Scaled(8), [&](int size) {
        return std::ranges::all_of(
            dialogTexts, [&](const QLabel* label) { return fitsInLine(label, DialogFont(size)); });
    }));
    // Each control gets the font of its own: a skin's style sheet stops a
    // window's font from reaching the controls it styles.
    setFont(dialogFont);
    for (QWidget* control : dialogTexts) {
        control->setFont(dialogFont);
    }
    btnOK_->setFont(dialogFont);

    for (QLabel* label : {lbProgName_, lbVer_}) {
        QFont font = label->font();
        font.setPixelSize(LargestFittingSize(font.pixelSize(), Scaled(8), [&](int size) {
            QFont sized = font;
            sized.setPixelSize(size);
            return fitsInLine(label, sized);
        }));
        label->setFont(font);
    }

    for (QLabel* label :
         {lbProgName_, lbVer_, lbCopyright_, lbInfo1_, lbInfo2_, lbFeedback_,
          static_cast<QLabel*>(Label6_), lbSupport1_, lbSupport2_, static_cast<QLabel*>(Label9_)}) {
        label->adjustSize();
        label->resize(std::min(label->width(), rightEdge - label->x()), label->height());
    }

    const QRect lawsBox = lbLaws_->geometry();
    const QString laws = lbLaws_->text();
    lbLaws_->setFont(LawsFont(LargestFittingSize(Scaled(9), Scaled(6), [&](int size) {
        return WrappedHeight(LawsFont(size), lawsBox.width(), laws) <= lawsBox.height();
    })));

    // The button keeps its bottom right corner and grows to the left for a
    // longer caption.
    const QRect button = btnOK_->geometry();
    const int wanted = btnOK_->fontMetrics().horizontalAdvance(btnOK_->text()) + Scaled(16);
    if (wanted > button.width()) {
        btnOK_->setGeometry(button.adjusted(button.width() - wanted, 0, 0, 0));
    }
}

// The caption the language file gives, then the path in a smaller font,
// shortened at its start to the room left of the button so that the folder
// and file names show; the tooltip has it whole.
void TfrmAbout::ShowSettingsFile()
{
    lbSettingsFile_->setFont(DialogFont(Scaled(9)));
    const QString caption = lbSettingsFile_->text();
    const QString path = QString::fromLocal8Bit(SettingsFiles().write.string());
    const int width = btnOK_->x() - Scaled(kRightMargin) - lbSettingsFile_->x();
    lbSettingsFile_->resize(width, lbSettingsFile_->height());
    const QFontMetrics metrics(lbSettingsFile_->font());
    const int room = width - metrics.horizontalAdvance(caption + QLatin1Char(' '));
    lbSettingsFile_->setText(caption + QLatin1Char(' ') +
                             metrics.elidedText(path, Qt::ElideLeft, std::max(room, 0)));
    lbSettingsFile_->setToolTip(path);
}

void TfrmAbout::Label6Click()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QLatin1String(kMakerSupportMail)));
}

void TfrmAbout::Label9Click()
{
    QDesktopServices::openUrl(QUrl(QLatin1String(kMakerWebSite)));
}

void TfrmAbout::btnOKClick()
{
    accept();
}

} // namespace pelmora
