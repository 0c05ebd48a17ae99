#include "gui/help/help_desk.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "core/base/app_paths.h"
#include "gui/help/help_context.h"
#include "gui/help/help_viewer.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::TempDir;
using test::WriteFile;

constexpr const char* kHelp = "[1] Contents\nSee {2} and {3}.\n"
                              "[2] Pop-up and log\nReports.\n"
                              "[3] Settings\nThe settings dialog.\n"
                              "[5] About\nThe About box.\n";

// The program's folder is a temporary one whose Help/PELMORA.HLP the test
// writes; the help desk lives for one test.
class Help : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetExecutableDirForTesting(dir_.Path());
        std::filesystem::create_directory(dir_ / "Help");
        WriteHelp(kHelp);
    }
    void TearDown() override { SetExecutableDirForTesting({}); }

    void WriteHelp(const std::string& text) { WriteFile(dir_ / "Help" / "PELMORA.HLP", text); }

    static int VisibleHelpWindows()
    {
        int count = 0;
        for (const QWidget* widget : QApplication::topLevelWidgets()) {
            count +=
                widget->objectName() == QStringLiteral("frmHelp") && widget->isVisible() ? 1 : 0;
        }
        return count;
    }

    // Clicks a button of the viewer as the window system would deliver it,
    // so a window blocked by a modal dialog would not get the click.
    static void ClickThroughWindow(TfrmHelp* viewer, QPushButton* button)
    {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
        const QPoint at = button->mapTo(viewer, button->rect().center());
        QTest::mouseClick(viewer->windowHandle(), Qt::LeftButton, {}, at);
    }

    TempDir dir_;
    HelpDesk desk_;
};

TEST_F(Help, ShowsTheTopicOfTheContextInOneReusedWindow)
{
    ShowHelp(HelpContext::Settings);
    TfrmHelp* viewer = desk_.Viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->objectName(), QStringLiteral("frmHelp"));
    EXPECT_EQ(viewer->CurrentTopic(), 3);
    EXPECT_EQ(viewer->Browser()->toPlainText(), QStringLiteral("Settings\nThe settings dialog."));
    EXPECT_TRUE(viewer->windowTitle().startsWith(QStringLiteral("Settings")));

    // The file is read for every request, so an edited file shows at once.
    WriteHelp(std::string(kHelp) + "more about the box\n");
    ShowHelp(HelpContext::About);
    EXPECT_EQ(desk_.Viewer(), viewer);
    EXPECT_EQ(viewer->CurrentTopic(), 5);
    EXPECT_EQ(viewer->Browser()->toPlainText(),
              QStringLiteral("About\nThe About box. more about the box"));
    EXPECT_EQ(VisibleHelpWindows(), 1);

    viewer->BackButton()->click();
    EXPECT_EQ(viewer->CurrentTopic(), 3);
    EXPECT_FALSE(viewer->BackButton()->isEnabled());

    // Closed, it is only hidden and comes back for the next request.
    viewer->close();
    ShowHelp(HelpContext::Notices);
    EXPECT_EQ(desk_.Viewer(), viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->BackButton()->isEnabled());
}

TEST_F(Help, LinksContentsAndBackMoveBetweenTopics)
{
    ShowHelp(HelpContext::HelpItem);
    TfrmHelp* viewer = desk_.Viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->ContentsButton()->isEnabled());
    Q_EMIT viewer->Browser()->anchorClicked(QUrl(QStringLiteral("topic:2")));
    EXPECT_EQ(viewer->CurrentTopic(), 2);
    Q_EMIT viewer->Browser()->anchorClicked(QUrl(QStringLiteral("topic:9")));
    Q_EMIT viewer->Browser()->anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    EXPECT_EQ(viewer->CurrentTopic(), 2);
    viewer->ContentsButton()->click();
    EXPECT_EQ(viewer->CurrentTopic(), 1);
    viewer->BackButton()->click();
    EXPECT_EQ(viewer->CurrentTopic(), 2);
    viewer->BackButton()->click();
    EXPECT_EQ(viewer->CurrentTopic(), 1);
    EXPECT_TRUE(viewer->Browser()->toHtml().contains(QStringLiteral("href=\"topic:3\"")));
}

TEST_F(Help, ShowsNothingWithoutTheFileOrTheTopic)
{
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path& file)> prepare;
        HelpContext context;
    } cases[] = {
        {"no topic", [](const auto&) {}, HelpContext{4}},
        {"no context", [](const auto&) {}, HelpContext::None},
        {"no file", [](const auto& file) { std::filesystem::remove(file); }, HelpContext::HelpItem},
        {"a folder",
         [](const auto& file) {
             std::filesystem::remove(file);
             std::filesystem::create_directory(file);
         },
         HelpContext::HelpItem},
        {"empty file", [](const auto& file) { WriteFile(file, ""); }, HelpContext::HelpItem},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path file = dir_ / "Help" / "PELMORA.HLP";
        std::filesystem::remove_all(file);
        WriteHelp(kHelp);
        c.prepare(file);
        ShowHelp(c.context);
        EXPECT_EQ(desk_.Viewer(), nullptr);
        EXPECT_EQ(VisibleHelpWindows(), 0);
    }

    // An open viewer stays on its topic.
    std::filesystem::remove_all(dir_ / "Help" / "PELMORA.HLP");
    WriteHelp(kHelp);
    ShowHelp(HelpContext::Settings);
    ShowHelp(HelpContext{4});
    std::filesystem::remove(dir_ / "Help" / "PELMORA.HLP");
    ShowHelp(HelpContext::About);
    ASSERT_NE(desk_.Viewer(), nullptr);
    EXPECT_EQ(desk_.Viewer()->CurrentTopic(), 3);
}

TEST_F(Help, F1OpensTheContextOfTheFocusedControlOrItsWindow)
{
    QWidget owner;
    SetHelpContext(&owner, HelpContext::Notices);
    owner.show();

    // A dialog of the settings kind: context 3 on the window, one control
    // with a context of its own.
    QDialog dialog(&owner);
    SetHelpContext(&dialog, HelpContext::Settings);
    auto* plain = new QLineEdit(&dialog);
    auto* own = new QLineEdit(&dialog);
    SetHelpContext(own, HelpContext::About);
    // A dialog without context does not borrow its owner's.
    QDialog silent(&owner);
    auto* silentEdit = new QLineEdit(&silent);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(plain);
    layout->addWidget(own);
    dialog.show();
    silent.show();

    const struct {
        QWidget* focus;
        int topic; // 0: no help
    } cases[] = {{plain, 3}, {own, 5}, {&dialog, 3}, {silentEdit, 0}, {&owner, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus->metaObject()->className());
        if (desk_.Viewer() != nullptr) {
            desk_.Viewer()->hide();
        }
        QApplication::setActiveWindow(c.focus->window());
        c.focus->setFocus();
        QTest::keyClick(c.focus, Qt::Key_F1);
        if (c.topic == 0) {
            EXPECT_EQ(VisibleHelpWindows(), 0);
        } else {
            ASSERT_NE(desk_.Viewer(), nullptr);
            EXPECT_TRUE(desk_.Viewer()->isVisible());
            EXPECT_EQ(desk_.Viewer()->CurrentTopic(), c.topic);
        }
    }

    // F1 with a modifier is another key.
    desk_.Viewer()->hide();
    QTest::keyClick(plain, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(VisibleHelpWindows(), 0);

    // In a menu the highlighted item speaks first (the tray menu's Help).
    QMenu menu;
    SetHelpContext(&menu, HelpContext::Notices);
    SetHelpContext(menu.addAction(QStringLiteral("Help")), HelpContext::HelpItem);
    menu.popup(QPoint(0, 0));
    menu.setActiveAction(menu.actions().first());
    QTest::keyClick(&menu, Qt::Key_F1);
    EXPECT_TRUE(desk_.Viewer()->isVisible());
    EXPECT_EQ(desk_.Viewer()->CurrentTopic(), 1);
}

// Help asked for from a modal dialog must be usable beside it, and must
// outlive the dialog.
TEST_F(Help, WorksBesideAModalDialogAndOutlivesIt)
{
    QDialog dialog;
    SetHelpContext(&dialog, HelpContext::Settings);
    auto* edit = new QLineEdit(&dialog);
    bool ran = false;
    QTimer::singleShot(0, &dialog, [&] {
        ran = true;
        QApplication::setActiveWindow(&dialog);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);
        TfrmHelp* viewer = desk_.Viewer();
        if (viewer != nullptr) {
            EXPECT_TRUE(viewer->isVisible());
            EXPECT_EQ(viewer->CurrentTopic(), 3);
            ClickThroughWindow(viewer, viewer->ContentsButton());
            EXPECT_EQ(viewer->CurrentTopic(), 1);
        }
        dialog.reject();
    });
    QTimer::singleShot(10000, &dialog, &QDialog::reject);
    dialog.exec();
    ASSERT_TRUE(ran);
    ASSERT_NE(desk_.Viewer(), nullptr);
    EXPECT_TRUE(desk_.Viewer()->isVisible());
    EXPECT_EQ(desk_.Viewer()->parentWidget(), nullptr);

    // A modal window freed while it is still shown does not take the
    // viewer with it either.
    auto modal = std::make_unique<QDialog>();
    modal->setWindowModality(Qt::ApplicationModal);
    modal->show();
    ShowHelp(HelpContext::About);
    const QPointer<TfrmHelp> viewer = desk_.Viewer();
    EXPECT_EQ(viewer->parentWidget(), modal.get());
    ClickThroughWindow(viewer, viewer->ContentsButton());
    EXPECT_EQ(viewer->CurrentTopic(), 1);
    modal.reset();
    ASSERT_FALSE(viewer.isNull());
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->parentWidget(), nullptr);
}

} // namespace
} // namespace pelmora
