#include "gui/shell/skin.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "gui/shell/log_window.h"
#include "gui/shell/main_form.h"
#include "support/scripted_prober.h"
#include "support/source_dir.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using namespace Qt::StringLiterals;
using test::TempDir;
using test::WriteFile;

const std::filesystem::path kShippedSkin = test::kSourceDir / "Skins" / "Tamsel.skn";

// Every message Qt logs while one of these lives, but for the headless
// platform's notes.
class MessageLog {
public:
    MessageLog() { previous_ = qInstallMessageHandler(Record); }
    ~MessageLog() { qInstallMessageHandler(previous_); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    static QStringList& Messages()
    {
        static QStringList messages;
        return messages;
    }

private:
    static void Record(QtMsgType /*type*/, const QMessageLogContext& /*context*/,
                       const QString& text)
    {
        // The headless platform's notes on what it cannot do are no news.
        if (!text.startsWith(QLatin1String("This plugin does not support"))) {
            Messages().append(text);
        }
    }

    QtMessageHandler previous_;
};

// A dialog with a control of every kind the program's dialogs use.
class EveryControlDialog : public QDialog {
public:
    EveryControlDialog()
    {
        auto* layout = new QVBoxLayout(this);
        auto* group = new QGroupBox(u"Group"_s, this);
        layout->addWidget(group);
        layout->addWidget(new QLabel(u"Label"_s, this));
        layout->addWidget(new QLineEdit(u"edit"_s, this));
        layout->addWidget(new QSpinBox(this));
        auto* combo = new QComboBox(this);
        combo->addItems({u"English"_s, u"Deutsch"_s});
        layout->addWidget(combo);
        auto* list = new QListWidget(this);
        list->addItems({u"one"_s, u"two"_s});
        list->setCurrentRow(0);
        layout->addWidget(list);
        auto* check = new QCheckBox(u"Check"_s, this);
        check->setChecked(true);
        layout->addWidget(check);
        auto* disabled = new QCheckBox(u"Off"_s, this);
        disabled->setEnabled(false);
        layout->addWidget(disabled);
        layout->addWidget(new QToolButton(this));
        auto* button = new QPushButton(u"OK"_s, this);
        button->setDefault(true);
        layout->addWidget(button);
    }
};

// What a dark desktop theme hands the program.
QPalette DarkDesktop()
{
    QPalette dark(QColor(55, 55, 58), QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    return dark;
}

// The pop-up with a report, the tray menu, the log window and a dialog, as
// pictures.
std::vector<QImage> PictureOfEveryWindow()
{
    test::ScriptedProber prober(test::NobodyAnswers);
    TfrmMain frmMain(prober);
    frmMain.SetFont(PopUpFont{});
    frmMain.Tray().ShowReport("Lost:\r\n  192.0.2.7\r\n\r\nBack:\r\n  192.0.2.8");
    TfrmLog frmLog;
    frmLog.AppendLine(u"12:00:00 192.0.2.7 lost"_s);
    frmLog.ShowLog();
    EveryControlDialog dialog;
    dialog.show();
    frmMain.TrayMenu()->popup(QPoint(10, 10));
    std::vector<QImage> pictures{frmMain.grab().toImage(), frmMain.TrayMenu()->grab().toImage(),
                                 frmLog.grab().toImage(), dialog.grab().toImage()};
    frmMain.TrayMenu()->close();
    return pictures;
}

class Skin : public ::testing::Test {
protected:
    void SetUp() override { MessageLog::Messages().clear(); }
    void TearDown() override { qApp->setStyleSheet(QString()); }

    TempDir dir_;
};

TEST_F(Skin, AFileThatCannotServeLeavesThePlainLookWithoutAWord)
{
    struct Case {
        const char* name;
        std::filesystem::path file;
    };
    WriteFile(dir_ / "broken.skn", "QPushButton { color: #123456; \n QMenu {{ ]");
    WriteFile(dir_ / "binary.skn", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const Case cases[] = {{"missing", dir_ / "Tamsel.skn"},
                          {"a folder", dir_.Path()},
                          {"not a style sheet", dir_ / "broken.skn"},
                          {"binary", dir_ / "binary.skn"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A skin that was there before does not stay either.
        ASSERT_TRUE(LoadSkin(kShippedSkin));
        const MessageLog log;
        EXPECT_FALSE(LoadSkin(c.file));
        EXPECT_TRUE(qApp->styleSheet().isEmpty());
        EXPECT_TRUE(MessageLog::Messages().isEmpty())
            << MessageLog::Messages().join(u'\n').toStdString();
    }
}

TEST_F(Skin, AValidFileBecomesTheApplicationsStyleSheet)
{
    WriteFile(dir_ / "Tamsel.skn", "QPushButton { color: #123456; }\n");
    EXPECT_TRUE(LoadSkin(dir_ / "Tamsel.skn"));
    EXPECT_EQ(qApp->styleSheet(), u"QPushButton { color: #123456; }\n"_s);
}

// The program's windows and a dialog with every kind of control, with the
// shipped skin and without one: they build, show and draw, the pop-up keeps its note-coloured
// ground behind the transparent memo, its black outline and the user's text colour.
TEST_F(Skin, TheProgramsWindowsWorkWithAndWithoutTheShippedSkin)
{
    for (const bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        const MessageLog log;
        if (skinned) {
            ASSERT_TRUE(LoadSkin(kShippedSkin));
        }
        test::ScriptedProber prober(test::NobodyAnswers);
        TfrmMain frmMain(prober);
        TfrmLog frmLog;
        PopUpFont font;
        font.color = 0x0000C0; // red
        frmMain.SetFont(font);
        frmMain.Tray().ShowReport("Lost:\r\n192.0.2.7\r\n");
        frmLog.AppendLine(u"12:00:00 192.0.2.7 lost"_s);
        frmLog.ShowLog();
        frmMain.TrayMenu()->popup(QPoint(10, 10));

        const QImage popUp = frmMain.grab().toImage();
        EXPECT_FALSE(frmLog.grab().isNull());
        EveryControlDialog dialog;
        dialog.show();
        EXPECT_FALSE(dialog.grab().isNull());
        EXPECT_FALSE(frmMain.TrayMenu()->grab().isNull());
        frmMain.TrayMenu()->close();

        EXPECT_EQ(frmMain.ReportMemo()->palette().color(QPalette::Text), QColor(0xC0, 0, 0));
        // Beside the short first line of the report the memo shows the
        // balloon's ground.
        const QRect memoPlace = frmMain.ReportMemo()->geometry();
        const QPoint besideText(memoPlace.center().x(), memoPlace.top() + 2);
        const QColor ground =
            skinned ? QColor(0xfb, 0xf5, 0xe4) : frmMain.palette().color(QPalette::Button);
        EXPECT_EQ(popUp.pixelColor(besideText), ground);
        EXPECT_EQ(popUp.pixelColor(popUp.width() - 1, popUp.height() / 3), QColor(Qt::black));
        // A typing error in the skin shows up as a warning on the first use.
        EXPECT_TRUE(MessageLog::Messages().isEmpty())
            << MessageLog::Messages().join(u'\n').toStdString();
        qApp->setStyleSheet(QString());
    }
}

TEST_F(Skin, TheShippedSkinLooksTheSameOnALightAndADarkDesktop)
{
    ASSERT_TRUE(LoadSkin(kShippedSkin));
    const QPalette light = QApplication::palette();
    const std::vector<QImage> onLight = PictureOfEveryWindow();
    QApplication::setPalette(DarkDesktop());
    const std::vector<QImage> onDark = PictureOfEveryWindow();
    QApplication::setPalette(light);

    const char* const names[] = {"pop-up", "tray menu", "log window", "dialog"};
    ASSERT_EQ(onDark.size(), std::size(names));
    for (std::size_t i = 0; i < onDark.size(); ++i) {
        EXPECT_EQ(onLight[i], onDark[i]) << names[i];
    }
}

} // namespace
} // namespace pelmora
