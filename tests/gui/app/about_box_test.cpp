#include "gui/app/about_box.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/base/app_paths.h"
#include "core/i18n/languages.h"
#include "gui/app/about_command.h"
#include "gui/help/help_context.h"
#include "gui/shell/skin.h"
#include "support/gui/modal_dialog.h"
#include "support/scoped_env.h"
#include "support/source_dir.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using namespace Qt::StringLiterals;
using test::TempDir;
using test::WriteFile;

const std::filesystem::path kShippedSkin = test::kSourceDir / "Skins" / "Tamsel.skn";

// Takes what the box hands to the desktop instead of starting a mail
// program or a browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;

    // moc reads the slot section; to the compiler it only repeats public.
public Q_SLOTS: // NOLINT(readability-redundant-access-specifiers)
    void Open(const QUrl& url) { opened.push_back(url); }
};

// The program's folder is a fresh one: no language file unless a test
// writes one.
class AboutBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir_ / "Languages");
        SetExecutableDirForTesting(dir_.Path());
        SetCurrentLanguage("English");
    }
    void TearDown() override
    {
        SetExecutableDirForTesting({});
        SetCurrentLanguage({});
    }

    void Language(const std::string& aboutSection)
    {
        WriteFile(dir_ / "Languages" / "English.lng", "[frmAbout]\n" + aboutSection);
    }

    static QString Text(const TfrmAbout& box, const char* name)
    {
        const auto* label = box.findChild<QLabel*>(QLatin1String(name));
        return label != nullptr ? label->text() : u"<no such label>"_s;
    }

    TempDir dir_;
    QWidget owner_;
};

TEST_F(AboutBox, ASecondCommandWhileTheBoxIsOpenDoesNothing)
{
    AboutCommand about(&owner_);
    QPointer<TfrmAbout> first;
    bool secondReturned = false;
    qsizetype boxesWhileOpen = 0;
    test::WhenModalOpens([&](QWidget& window) {
        first = about.OpenBox();
        EXPECT_EQ(&window, first.data());
        about.miAboutClick();
        secondReturned = true;
        boxesWhileOpen = owner_.findChildren<TfrmAbout*>().size();
        EXPECT_EQ(about.OpenBox(), first.data());
        first->findChild<QPushButton*>(u"btnOK"_s)->click();
    });
    about.miAboutClick();

    EXPECT_TRUE(secondReturned);
    EXPECT_EQ(boxesWhileOpen, 1);
    // Closed and freed: the next command opens a new box.
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(about.OpenBox(), nullptr);
    EXPECT_TRUE(owner_.findChildren<TfrmAbout*>().isEmpty());
}

TEST_F(AboutBox, WithoutALanguageFileShowsItsBuiltInTexts)
{
    const TfrmAbout box(&owner_);
    EXPECT_EQ(box.windowTitle(), u"About..."_s);
    EXPECT_EQ(Text(box, "lbProgName"), u"Tamsel Vexmon"_s);
    EXPECT_EQ(Text(box, "lbVer"), u"1.0.0"_s);
    EXPECT_EQ(Text(box, "lbLaws"), u"lbLaws"_s);
    EXPECT_EQ(Text(box, "Label6"), u"support@tamsel.example"_s);
    EXPECT_EQ(Text(box, "Label9"), u"https://www.tamsel.example/"_s);
    EXPECT_EQ(box.findChild<QLabel*>(u"Label6"_s)->toolTip(), u"support@tamsel.example"_s);
    EXPECT_EQ(box.findChild<QPushButton*>(u"btnOK"_s)->text(), u"OK"_s);
}

TEST_F(AboutBox, LanguageFileKeysOverrideTheVersionAndOnlyCaptionRenamesTheButton)
{
    struct Case {
        const char* section;
        const char* version;
        const char* button;
    };
    const Case cases[] = {
        {"lbVer=2.0 beta\n", "2.0 beta", "OK"},
        {"btnOK.Caption=Close\n", "1.0.0", "Close"},
        {"btnOK=Close\n", "1.0.0", "OK"},
        {"btnOK=Wrong\nbtnOK.Caption=Close\nlbVer=3\n", "3", "Close"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        Language(c.section);
        const TfrmAbout box(&owner_);
        EXPECT_EQ(Text(box, "lbVer"), QLatin1String(c.version));
        EXPECT_EQ(box.findChild<QPushButton*>(u"btnOK"_s)->text(), QLatin1String(c.button));
    }
}

TEST_F(AboutBox, IsAFixedModalBoxOfTheMainWindowWithHelpContextFive)
{
    const TfrmAbout box(&owner_);
    EXPECT_EQ(box.objectName(), u"frmAbout"_s);
    EXPECT_EQ(box.parentWidget(), &owner_);
    EXPECT_TRUE(box.isModal());
    EXPECT_EQ(box.minimumSize(), QSize(269, 344));
    EXPECT_EQ(box.maximumSize(), QSize(269, 344));
    EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    for (const QWidget* control : box.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty()) {
            continue; // parts Qt builds inside a control
        }
        const bool without =
            control->objectName() == u"lbSupport1"_s || control->objectName() == u"plLogo"_s;
        EXPECT_EQ(HelpContextOf(control), without ? HelpContext::None : HelpContext::About)
            << control->objectName().toStdString();
    }
}

TEST_F(AboutBox, LinksOpenTheSupportAddressAndTheWebSite)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"mailto"_s, &catcher, "Open");
    QDesktopServices::setUrlHandler(u"https"_s, &catcher, "Open");
    TfrmAbout box(&owner_);
    box.show();
    for (const char* name : {"Label6", "lbFeedback", "Label9"}) {
        auto* label = box.findChild<QLabel*>(QLatin1String(name));
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, label->height() / 2));
    }
    QDesktopServices::unsetUrlHandler(u"mailto"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);

    const std::vector<QUrl> expected{QUrl(u"mailto:support@tamsel.example"_s),
                                     QUrl(u"https://www.tamsel.example/"_s)};
    EXPECT_EQ(catcher.opened, expected);
}

void ExpectEveryTextWhole(const TfrmAbout& box)
{
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_TRUE(box.rect().contains(label->geometry()));
        const QFontMetrics metrics(label->font());
        const QRect needed =
            label->wordWrap() ? metrics.boundingRect(QRect(0, 0, label->width(), QWIDGETSIZE_MAX),
                                                     Qt::TextWordWrap, label->text())
                              : QRect(QPoint(0, 0), QSize(metrics.horizontalAdvance(label->text()),
                                                          metrics.height()));
        EXPECT_LE(needed.width(), label->width());
        EXPECT_LE(needed.height(), label->height());
    }
    const auto* button = box.findChild<QPushButton*>(u"btnOK"_s);
    EXPECT_TRUE(box.rect().contains(button->geometry()));
    EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
}

// Whatever the fonts of the desktop, the skin and the length of the texts,
// every text stays whole inside the box.
TEST_F(AboutBox, NoTextIsCutOff)
{
    const char* const sections[] = {
        "",
        "lbProgName=Tamsel Vexmon Netzwerk\n"
        "lbInfo1=Dieses Programm entwarf und schrieb:\n"
        "lbSupport2=und weitere Produkte finden Sie unter:\n"
        "btnOK.Caption=Schliessen und zurueck\n"
        "lbLaws=Dieses Programm wird ohne Maengelgewaehr und ohne jegliche Garantie "
        "bereitgestellt. Die Autoren haften nicht fuer Schaeden, die aus seiner Nutzung "
        "entstehen, gleich welcher Art, und auch nicht fuer entgangene Gewinne oder Daten.\n",
    };
    for (const bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        ASSERT_EQ(LoadSkin(skinned ? kShippedSkin : dir_ / "no.skn"), skinned);
        for (const char* section : sections) {
            SCOPED_TRACE(section);
            Language(section);
            TfrmAbout box(&owner_);
            box.show();
            ExpectEveryTextWhole(box);
        }
    }
    LoadSkin(dir_ / "no.skn");
}

TEST_F(AboutBox, WithTheShippedSkinLooksTheSameOnALightAndADarkDesktop)
{
    ASSERT_TRUE(LoadSkin(kShippedSkin));
    const auto picture = [this] {
        TfrmAbout box(&owner_);
        box.show();
        return box.grab().toImage();
    };
    const QPalette light = QApplication::palette();
    const QImage onLight = picture();
    // Light text on dark grounds, as a dark desktop theme has them.
    QApplication::setPalette(QPalette(QColor(55, 55, 58), QColor(45, 45, 48)));
    const QImage onDark = picture();
    QApplication::setPalette(light);
    LoadSkin(dir_ / "no.skn");
    EXPECT_EQ(onLight, onDark);
}

TEST_F(AboutBox, NoTextOfAShippedLanguageIsCutOff)
{
    const std::filesystem::path shipped = test::kSourceDir / "Languages";
    for (const auto& file : std::filesystem::directory_iterator(shipped)) {
        SCOPED_TRACE(file.path().filename().string());
        std::filesystem::copy_file(file.path(), dir_ / "Languages" / file.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
        SetCurrentLanguage(file.path().stem().string());
        ExpectEveryTextWhole(TfrmAbout(&owner_));
    }
}

TEST_F(AboutBox, SaysWhichSettingsFileThisCopyUses)
{
    const test::ScopedEnv configHome("XDG_CONFIG_HOME", (dir_ / "config").string());
    const struct {
        const char* section;
        bool portable;
        QString caption;
        std::filesystem::path file;
    } cases[] = {
        {"", false, u"Settings file: "_s, dir_ / "config" / "Pelmora" / "Pelmora.ini"},
        {"", true, u"Settings file: "_s, dir_ / "Pelmora.ini"},
        {"lbSettingsFile=Einstellungsdatei:\n", false, u"Einstellungsdatei: "_s,
         dir_ / "config" / "Pelmora" / "Pelmora.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        Language(c.section);
        std::filesystem::remove(dir_ / "Pelmora.ini");
        if (c.portable) {
            WriteFile(dir_ / "Pelmora.ini", "");
        }
        const TfrmAbout box(&owner_);
        const auto* label = box.findChild<QLabel*>(u"lbSettingsFile"_s);
        EXPECT_EQ(label->toolTip(), QString::fromStdString(c.file.string()));
        EXPECT_TRUE(label->text().startsWith(c.caption)) << label->text().toStdString();
        // Shortened at its start when long: the file name always shows.
        EXPECT_TRUE(label->text().endsWith(u"Pelmora.ini"_s)) << label->text().toStdString();
        ExpectEveryTextWhole(box);
    }
}

} // namespace
} // namespace pelmora

#include "about_box_test.moc"
