#include "gui/config/settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/base/app_paths.h"
#include "core/config/language_list.h"
#include "core/i18n/languages.h"
#include "gui/config/add_host_dialog.h"
#include "gui/help/help_context.h"
#include "gui/help/help_desk.h"
#include "gui/help/help_viewer.h"
#include "support/gui/find_control.h"
#include "support/gui/modal_dialog.h"
#include "support/gui/popup_font_stub.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::ClickButton;
using test::FindControl;
using test::TempDir;
using test::WhenModalOpens;
using test::WriteFile;

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir_ / "Languages");
        WriteFile(dir_ / "Languages" / "Test.lng",
                  "[Messages]\nEditIP=Edit IP\nEditHTTP=Edit web\nEditLAN=Edit LAN\n"
                  "[frmSettings]\nCaption=Test settings\n[frmProbe]\nCaption=Test probe\n");
        WriteFile(dir_ / "Languages" / "Other.lng",
                  "[frmSettings]\nCaption=Other settings\nlbSelectLang=Pick one\n"
                  "[frmProbe]\nCaption=Other probe\n");
        SetExecutableDirForTesting(dir_.Path());
        SetCurrentLanguage("Test");
        dialog_ = std::make_unique<TfrmSettings>(nullptr, popUp_);
    }
    void TearDown() override
    {
        dialog_.reset();
        SetExecutableDirForTesting({});
    }

    template <typename T> T* Control(const char* name) { return FindControl<T>(*dialog_, name); }
    QListWidget* Lines() { return Control<QListWidget>("lbxHosts"); }

    void AddLines(int count)
    {
        for (int i = 1; i <= count; ++i) {
            dialog_->AddHostLine("host" + std::to_string(i), std::nullopt);
        }
    }

    std::vector<std::string> LineTexts() const
    {
        std::vector<std::string> texts;
        texts.reserve(static_cast<std::size_t>(dialog_->HostLineCount()));
        for (int row = 0; row < dialog_->HostLineCount(); ++row) {
            texts.push_back(dialog_->HostLineText(row));
        }
        return texts;
    }

    // Any host entry dialog still open after this long was not expected.
    void CloseStrayDialogsAfter(int ms)
    {
        QTimer::singleShot(ms, dialog_.get(), [] {
            if (QWidget* stray = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "unexpected dialog " << stray->objectName().toStdString();
                stray->close();
            }
        });
    }

    TempDir dir_;
    test::PopUpFontStub popUp_;
    std::unique_ptr<TfrmSettings> dialog_;
};

TEST_F(SettingsDialog, ThePageSelectorChoosesThePageByMouseOrKeys)
{
    auto* selector = Control<QListWidget>("lbSettings");
    auto* pages = Control<QStackedWidget>("Notebook1");
    ASSERT_EQ(selector->count(), 4);
    const char* names[] = {"HostList", "CheckParams", "View", "Languages"};
    for (int row : {2, 0, 3, 1}) {
        dialog_->SelectPage(row);
        EXPECT_EQ(pages->currentWidget()->objectName(), QLatin1String(names[row]));
    }
    QTest::keyClick(selector, Qt::Key_Down);
    EXPECT_EQ(pages->currentIndex(), 2);
    QTest::keyClick(selector, Qt::Key_Home);
    EXPECT_EQ(pages->currentIndex(), 0);
}

TEST_F(SettingsDialog, NoButtonIsDefaultAndEscapeClosesNothing)
{
    for (QPushButton* button : dialog_->findChildren<QPushButton*>()) {
        if (button->window() != dialog_.get()) {
            continue; // the font chooser's own
        }
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
    }
    QTimer::singleShot(0, dialog_.get(), [this] {
        QTest::keyClick(Lines(), Qt::Key_Escape);
        QTest::keyClick(Lines(), Qt::Key_Return);
        EXPECT_TRUE(dialog_->isVisible());
        ClickButton(*dialog_, "btnOK");
    });
    QTimer::singleShot(3000, dialog_.get(), &QDialog::reject); // bounds a failure
    EXPECT_EQ(dialog_->exec(), QDialog::Accepted);
}

TEST_F(SettingsDialog, HelpOpensTopicThreeAsDoTheHostListAndTheButtons)
{
    std::filesystem::create_directory(dir_ / "Help");
    WriteFile(dir_ / "Help" / "PELMORA.HLP", "[1] Help\nThe program.\n[3] Settings\nThe dialog.\n");
    HelpDesk desk;
    TfrmSettings dialog(nullptr, popUp_);
    for (const char* name :
         {"lbSettings", "Panel1", "btnHelp", "btnCancel", "btnOK", "gbHostList", "lbxHosts",
          "btnAddIP", "btnAddHTTP", "btnAddLan", "btnEdit", "btnDelete"}) {
        EXPECT_EQ(HelpContextOf(FindControl<QWidget>(dialog, name)), HelpContext::Settings) << name;
    }
    for (const char* name : {"Notebook1", "gbCheckParams", "sePopUpInt", "seCheckPeriod",
                             "seParallelChecks", "seAttempts", "btnFontInPopUp", "cbLang"}) {
        EXPECT_EQ(HelpContextFor(FindControl<QWidget>(dialog, name)), HelpContext::None) << name;
    }

    dialog.show();
    ClickButton(dialog, "btnHelp");
    ASSERT_NE(desk.Viewer(), nullptr);
    EXPECT_TRUE(desk.Viewer()->isVisible());
    EXPECT_EQ(desk.Viewer()->CurrentTopic(), 3);
}

TEST_F(SettingsDialog, AddAppendsALastLineAndLeavesTheSelection)
{
    AddLines(2);
    Lines()->setCurrentRow(0);

    WhenModalOpens([](QWidget& window) {
        auto* field = FindControl<QLineEdit>(window, "MaskEdit1");
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field, QStringLiteral("10.1.2.3"));
        ClickButton(window, "btnOK");
    });
    ClickButton(*dialog_, "btnAddIP");
    WhenModalOpens([](QWidget& window) { ClickButton(window, "btnOK"); });
    ClickButton(*dialog_, "btnAddIP");
    WhenModalOpens([](QWidget& window) {
        FindControl<QLineEdit>(window, "edHTTP")->setText(QStringLiteral("http://10.0.0.5/"));
        FindControl<QCheckBox>(window, "cbProxy")->click();
        FindControl<QLineEdit>(window, "MaskEdit1")->setText(QStringLiteral("10.0.0.9:8080"));
        ClickButton(window, "btnOK");
    });
    ClickButton(*dialog_, "btnAddHTTP");
    WhenModalOpens([](QWidget& window) {
        FindControl<QLineEdit>(window, "edHTTP")->setText(QStringLiteral("\\\\pc"));
        ClickButton(window, "btnCancel");
    });
    ClickButton(*dialog_, "btnAddLan");

    EXPECT_EQ(LineTexts(),
              (std::vector<std::string>{"host1", "host2", "10.1.2.3", "...", "http://10.0.0.5/"}));
    EXPECT_EQ(dialog_->HostLineProxy(2), std::nullopt);
    EXPECT_EQ(dialog_->HostLineProxy(4), (TProxyRecord{"10.0.0.9", 8080}));
    EXPECT_EQ(Lines()->currentRow(), 0);
    EXPECT_EQ(Lines()->selectedItems().size(), 1);
}

TEST_F(SettingsDialog, EditOpensTheLinesModeAndReplacesItsTextAndWebProxyOnly)
{
    dialog_->AddHostLine("HTTP://10.0.0.7/", TProxyRecord{"10.0.0.1", 3128});
    dialog_->AddHostLine("//pc", TProxyRecord{"10.0.0.2", 80});
    dialog_->AddHostLine("\\\\pc ", std::nullopt);
    dialog_->AddHostLine("http://other/", TProxyRecord{"proxy.lan", 8080});

    const struct {
        int row;
        HostEntryMode mode;
        const char* title;
        const char* newText;
        std::optional<TProxyRecord> proxyAfter;
    } cases[] = {
        {0, HostEntryMode::EditHTTP, "Edit web", "HTTP://10.0.0.7/",
         TProxyRecord{"010.000.000.001", 3128}},
        {1, HostEntryMode::EditIP, "Edit IP", "000000000000", TProxyRecord{"10.0.0.2", 80}},
        {2, HostEntryMode::EditLAN, "Edit LAN", "\\\\pc", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        Lines()->setCurrentRow(c.row);
        WhenModalOpens([&c](QWidget& window) {
            auto* entry = qobject_cast<TfrmAddHost*>(&window);
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(entry->Mode(), c.mode);
            EXPECT_EQ(entry->windowTitle(), QLatin1String(c.title));
            ClickButton(window, "btnOK");
        });
        ClickButton(*dialog_, "btnEdit");
        EXPECT_EQ(dialog_->HostLineText(c.row), c.newText);
        EXPECT_EQ(dialog_->HostLineProxy(c.row), c.proxyAfter);
        EXPECT_EQ(Lines()->currentRow(), c.row);
        EXPECT_TRUE(Lines()->currentItem()->isSelected());
    }

    // Dropping the proxy of a web line; Cancel changes nothing.
    Lines()->setCurrentRow(0);
    WhenModalOpens([](QWidget& window) {
        FindControl<QCheckBox>(window, "cbProxy")->click();
        ClickButton(window, "btnOK");
    });
    ClickButton(*dialog_, "btnEdit");
    EXPECT_EQ(dialog_->HostLineProxy(0), std::nullopt);
    WhenModalOpens([](QWidget& window) {
        FindControl<QLineEdit>(window, "edHTTP")->setText(QStringLiteral("http://changed/"));
        ClickButton(window, "btnCancel");
    });
    ClickButton(*dialog_, "btnEdit");
    EXPECT_EQ(dialog_->HostLineText(0), "HTTP://10.0.0.7/");
    EXPECT_EQ(dialog_->HostLineProxy(3), (TProxyRecord{"proxy.lan", 8080}));
}

TEST_F(SettingsDialog, AProxyPortThatIsNoNumberIsReportedAndTheDialogStaysOpen)
{
    dialog_->AddHostLine("http://old/", TProxyRecord{"10.0.0.1", 3128});
    dialog_->show();
    Lines()->setCurrentRow(0);
    QString message;
    WhenModalOpens([&message](QWidget& window) {
        FindControl<QLineEdit>(window, "edHTTP")->setText(QStringLiteral("http://new/"));
        FindControl<QLineEdit>(window, "MaskEdit1")
            ->setText(QStringLiteral("10.0.0.1:99999999999"));
        WhenModalOpens([&message](QWidget& box) {
            message = qobject_cast<QMessageBox*>(&box)->text();
            box.close();
        });
        ClickButton(window, "btnOK");
    });
    ClickButton(*dialog_, "btnEdit");
    EXPECT_EQ(message, QStringLiteral("'99999999999' is not a valid integer value"));
    EXPECT_EQ(dialog_->HostLineText(0), "http://new/");
    EXPECT_EQ(dialog_->HostLineProxy(0), (TProxyRecord{"10.0.0.1", 3128}));
    EXPECT_TRUE(dialog_->isVisible());
}

TEST_F(SettingsDialog, DeleteRemovesTheSelectedLineAndSelectsTheFirst)
{
    AddLines(5);
    dialog_->AddHostLine("proxied", TProxyRecord{"10.0.0.1", 1});
    Lines()->setCurrentRow(2);
    ClickButton(*dialog_, "btnDelete");
    EXPECT_EQ(LineTexts(),
              (std::vector<std::string>{"host1", "host2", "host4", "host5", "proxied"}));
    EXPECT_EQ(Lines()->currentRow(), 0);
    EXPECT_TRUE(Lines()->currentItem()->isSelected());

    // The proxy goes with its line, and moves with the lines after it.
    Lines()->setCurrentRow(3);
    ClickButton(*dialog_, "btnDelete");
    EXPECT_EQ(dialog_->HostLineText(3), "proxied");
    EXPECT_EQ(dialog_->HostLineProxy(3), (TProxyRecord{"10.0.0.1", 1}));
    Lines()->setCurrentRow(3);
    ClickButton(*dialog_, "btnDelete");
    for (int row = 0; row < dialog_->HostLineCount(); ++row) {
        EXPECT_EQ(dialog_->HostLineProxy(row), std::nullopt);
    }
}

TEST_F(SettingsDialog, EditAndDeleteWithoutASelectedLineDoNothing)
{
    AddLines(1);
    Lines()->setCurrentRow(0);
    ClickButton(*dialog_, "btnDelete");
    EXPECT_EQ(dialog_->HostLineCount(), 0);
    EXPECT_EQ(Lines()->currentItem(), nullptr);

    AddLines(2);
    Lines()->clearSelection();
    CloseStrayDialogsAfter(2000);
    ClickButton(*dialog_, "btnEdit");
    ClickButton(*dialog_, "btnDelete");
    EXPECT_EQ(LineTexts(), (std::vector<std::string>{"host1", "host2"}));
}

TEST_F(SettingsDialog, SpinFieldsTakeOnlyTheKeysOfANumberAndReadOtherTextAsZero)
{
    const struct {
        const char* typed;
        const char* shown;
        std::int32_t value;
    } cases[] = {
        {"12a", "12", 12},
        {"-5", "-5", -5},
        {"0", "0", 0},
        {"+7", "+7", 7},
        {"", "", 0},
        {"-", "-", 0},
        {"1.5", "1.5", 0},
        {"x y", "", 0},
        {"2147483648", "2147483648", 0},
        {"-2147483648", "-2147483648", std::numeric_limits<std::int32_t>::min()},
    };
    for (const char* name : {"sePopUpInt", "seCheckPeriod"}) {
        auto* field = Control<QSpinBox>(name);
        EXPECT_EQ(field->minimum(), std::numeric_limits<std::int32_t>::min());
        EXPECT_EQ(field->maximum(), std::numeric_limits<std::int32_t>::max());
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(name) + " " + c.typed);
            field->clear();
            QTest::keyClicks(field, QLatin1String(c.typed));
            EXPECT_EQ(field->text(), QLatin1String(c.shown));
            const std::int32_t value = std::string_view(name) == "sePopUpInt"
                                           ? dialog_->Edited().popUpInterval
                                           : dialog_->Edited().checkPeriod;
            EXPECT_EQ(value, c.value);
        }
    }
    Settings settings;
    settings.checkPeriod = std::numeric_limits<std::int32_t>::min();
    settings.popUpInterval = -1;
    dialog_->Fill(settings, false);
    EXPECT_EQ(dialog_->Edited().checkPeriod, std::numeric_limits<std::int32_t>::min());
    QTest::keyClick(Control<QSpinBox>("sePopUpInt"), Qt::Key_Up);
    QTest::keyClick(Control<QSpinBox>("sePopUpInt"), Qt::Key_Up);
    EXPECT_EQ(dialog_->Edited().popUpInterval, 1);
}

// A count of hosts: digits only, and what lies outside 1..100000 becomes the
// nearest bound once the field is left, as the value read already is.
TEST_F(SettingsDialog, TheParallelChecksFieldKeepsToItsBounds)
{
    auto* field = Control<QSpinBox>("seParallelChecks");
    EXPECT_EQ(Control<QLabel>("lbParallelChecks")->buddy(), field);
    EXPECT_EQ(field->minimum(), 1);
    EXPECT_EQ(field->maximum(), 100000);
    dialog_->Fill(Settings{}, false);
    EXPECT_EQ(field->text(), QStringLiteral("1000"));

    dialog_->SelectPage(1);
    dialog_->show();
    QApplication::setActiveWindow(dialog_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    const struct {
        const char* typed;
        const char* shown; // while typing
        std::size_t value; // read, and shown once the field is left
    } cases[] = {
        {"250", "250", 250},
        {"12a", "12", 12},
        {"-5", "5", 5},
        {"1.5", "15", 15},
        {"+3", "3", 3},
        {"0", "0", 1},
        {"100000", "100000", 100000},
        {"1234567", "123456", 100000},
        {"", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QLatin1String(c.typed));
        EXPECT_EQ(field->text(), QLatin1String(c.shown));
        EXPECT_EQ(dialog_->Edited().parallelChecks, c.value);
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_FALSE(field->hasFocus());
        EXPECT_EQ(field->text(), QString::number(c.value));
        EXPECT_EQ(dialog_->Edited().parallelChecks, c.value);
    }

    // The arrows stop at the bounds, and a number beyond them is shown as
    // the nearest one.
    Settings settings;
    settings.parallelChecks = 4294967296U;
    dialog_->Fill(settings, false);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(dialog_->Edited().parallelChecks, 100000U);
    settings.parallelChecks = 1;
    dialog_->Fill(settings, false);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(dialog_->Edited().parallelChecks, 1U);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(dialog_->Edited().parallelChecks, 2U);
}

// Below the other check parameters; what lies outside 1..10 becomes the
// nearest bound.
TEST_F(SettingsDialog, TheAttemptsFieldKeepsToOneToTen)
{
    auto* field = Control<QSpinBox>("seAttempts");
    EXPECT_EQ(Control<QLabel>("lbAttempts")->buddy(), field);
    Settings settings;
    dialog_->Fill(settings, false);
    EXPECT_EQ(field->text(), QStringLiteral("1"));
    settings.attempts = 99;
    dialog_->Fill(settings, false);
    EXPECT_EQ(dialog_->Edited().attempts, 10);

    dialog_->SelectPage(1);
    dialog_->show();
    QApplication::setActiveWindow(dialog_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    EXPECT_GT(field->mapTo(dialog_.get(), QPoint()).y(),
              Control<QSpinBox>("seParallelChecks")->mapTo(dialog_.get(), QPoint()).y());
    const struct {
        const char* typed;
        std::int32_t value; // once the field is left
    } cases[] = {{"3", 3}, {"10", 10}, {"0", 1}, {"12", 10}, {"", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QLatin1String(c.typed));
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(field->text(), QString::number(c.value));
        EXPECT_EQ(dialog_->Edited().attempts, c.value);
    }
}

PopUpFont Font(const char* name, int size, std::int32_t color, bool bold)
{
    PopUpFont font;
    font.name = name;
    font.size = size;
    font.color = color;
    font.bold = bold;
    return font;
}

TEST_F(SettingsDialog, TheFontButtonChoosesFromThePopUpsFontAndAppliesAtOnce)
{
    Settings settings;
    settings.font = Font("Old Face", 9, 0, false);
    dialog_->Fill(settings, false);
    auto* button = Control<QPushButton>("btnFontInPopUp");
    EXPECT_EQ(button->font().family(), QStringLiteral("Old Face"));
    EXPECT_EQ(button->font().pointSize(), 9);

    // The chooser starts from what the pop-up shows now.
    popUp_.SetFont(Font("Current Face", 11, 0x0000FF, false));
    WhenModalOpens([](QWidget& chooser) {
        EXPECT_EQ(FindControl<QFontComboBox>(chooser, "cbFace")->currentText(),
                  QStringLiteral("Current Face"));
        EXPECT_EQ(FindControl<QSpinBox>(chooser, "seSize")->value(), 11);
        FindControl<QFontComboBox>(chooser, "cbFace")->setEditText(QStringLiteral("New Face"));
        FindControl<QSpinBox>(chooser, "seSize")->setValue(14);
        FindControl<QCheckBox>(chooser, "cbBold")->setChecked(true);
        FindControl<QCheckBox>(chooser, "cbStrikeOut")->setChecked(true);
        WhenModalOpens([](QWidget& colors) {
            auto& colorDialog = *qobject_cast<QColorDialog*>(&colors);
            EXPECT_EQ(colorDialog.currentColor(), QColor(255, 0, 0));
            colorDialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
            colorDialog.accept();
        });
        ClickButton(chooser, "btnColor");
        FindControl<QDialogButtonBox>(chooser, "")->button(QDialogButtonBox::Ok)->click();
    });
    ClickButton(*dialog_, "btnFontInPopUp");

    PopUpFont chosen = Font("New Face", 14, 0x563412, true);
    chosen.strikeOut = true;
    EXPECT_EQ(popUp_.Font(), chosen);
    EXPECT_EQ(dialog_->Edited().font, chosen);
    EXPECT_EQ(button->font().family(), QStringLiteral("New Face"));
    EXPECT_TRUE(button->font().strikeOut());
    EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(0x12, 0x34, 0x56));

    WhenModalOpens([](QWidget& chooser) {
        FindControl<QSpinBox>(chooser, "seSize")->setValue(30);
        FindControl<QDialogButtonBox>(chooser, "")->button(QDialogButtonBox::Cancel)->click();
    });
    ClickButton(*dialog_, "btnFontInPopUp");
    EXPECT_EQ(popUp_.Font(), chosen);
    EXPECT_EQ(dialog_->Edited().font, chosen);
    EXPECT_EQ(button->font().pointSize(), 14);
}

TEST_F(SettingsDialog, TheLanguageListIsReadAfreshOnEveryDropDown)
{
    auto* languages = Control<QComboBox>("cbLang");
    Settings settings;
    settings.language = "Typed";
    dialog_->Fill(settings, false);
    const auto listed = [languages] {
        std::vector<std::string> items;
        items.reserve(static_cast<std::size_t>(languages->count()));
        for (int i = 0; i < languages->count(); ++i) {
            items.push_back(languages->itemText(i).toStdString());
        }
        return items;
    };
    dialog_->show();
    languages->showPopup();
    languages->hidePopup();
    EXPECT_EQ(listed(), ListLanguageNames(dir_ / "Languages"));
    EXPECT_EQ(listed().size(), 2U);

    WriteFile(dir_ / "Languages" / "Third.lng", "");
    std::filesystem::remove(dir_ / "Languages" / "Other.lng");
    languages->showPopup();
    languages->hidePopup();
    std::vector<std::string> items = listed();
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"Test", "Third"}));
    // Listing neither changes the text nor the language.
    EXPECT_EQ(languages->currentText(), QStringLiteral("Typed"));
    EXPECT_EQ(CurrentLanguage(), "Test");
}

TEST_F(SettingsDialog, EveryChangeOfTheLanguageTextRetranslatesTheWindows)
{
    QWidget probe;
    probe.setObjectName(QStringLiteral("frmProbe"));
    Settings settings;
    settings.language = "Test";
    dialog_->Fill(settings, false);
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Test settings"));

    auto* languages = Control<QComboBox>("cbLang");
    languages->lineEdit()->clear();
    QTest::keyClicks(languages, QStringLiteral("Other"));
    EXPECT_EQ(CurrentLanguage(), "Other");
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Other settings"));
    EXPECT_EQ(Control<QLabel>("lbSelectLang")->text(), QStringLiteral("Pick one"));
    EXPECT_EQ(probe.windowTitle(), QStringLiteral("Other probe"));

    // Picking from the list counts as well; a name without a file is taken.
    languages->showPopup();
    languages->hidePopup();
    languages->setCurrentIndex(languages->findText(QStringLiteral("Test")));
    EXPECT_EQ(CurrentLanguage(), "Test");
    EXPECT_EQ(probe.windowTitle(), QStringLiteral("Test probe"));
    QTest::keyClicks(languages, QStringLiteral("X"));
    EXPECT_EQ(CurrentLanguage(), "TestX");
}

} // namespace
} // namespace pelmora
