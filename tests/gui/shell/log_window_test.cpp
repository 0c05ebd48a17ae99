#include "gui/shell/log_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/app_paths.h"
#include "core/i18n/languages.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

class LogWindow : public ::testing::Test {};

TEST_F(LogWindow, KeepsEveryLineWhileHiddenAndAcrossCloseAndReopen)
{
    TfrmLog log;
    EXPECT_FALSE(log.isVisible());
    log.AppendLine(QStringLiteral("9:05:07. lost a"));
    log.ShowLog();
    EXPECT_TRUE(log.isVisible());
    log.close();
    EXPECT_FALSE(log.isVisible());
    log.AppendLine(QStringLiteral("9:05:08. back a"));
    log.ShowLog();
    EXPECT_EQ(log.Memo()->toPlainText(), QStringLiteral("9:05:07. lost a\n9:05:08. back a\n"));
    EXPECT_EQ(log.Memo()->textCursor().position(), log.Memo()->document()->characterCount() - 1);
}

TEST_F(LogWindow, TypedTextStaysAndTheNextLineStartsBelowIt)
{
    TfrmLog log;
    log.AppendLine(QStringLiteral("one"));
    log.Memo()->moveCursor(QTextCursor::End);
    log.Memo()->insertPlainText(QStringLiteral("typed note"));
    log.AppendLine(QStringLiteral("two"));
    EXPECT_EQ(log.Memo()->toPlainText(), QStringLiteral("one\ntyped note\ntwo\n"));
    EXPECT_FALSE(log.Memo()->isReadOnly());
}

TEST_F(LogWindow, ShowsInItsDesignedFontWithTheLastLineInView)
{
    TfrmLog log;
    for (int i = 0; i < 300; ++i) {
        log.AppendLine(QStringLiteral("9:05:07. lost host-%1").arg(i));
    }
    log.ShowLog();
    QApplication::processEvents();
    EXPECT_EQ(log.Memo()->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(log.Memo()->font().pixelSize(), 14);
    const QScrollBar* bar = log.Memo()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(LogWindow, KeepsTheNewestLinesAndSaysHowManyWereDropped)
{
    TfrmLog log(nullptr, 3);
    for (int i = 1; i <= 5; ++i) {
        log.AppendLine(QStringLiteral("line %1").arg(i));
    }
    // Without a language file the message key stands for its text.
    EXPECT_EQ(log.Memo()->toPlainText(), QStringLiteral("LogDropped 2\nline 3\nline 4\nline 5\n"));
    log.AppendLine(QStringLiteral("line 6"));
    EXPECT_EQ(log.Memo()->toPlainText(), QStringLiteral("LogDropped 3\nline 4\nline 5\nline 6\n"));
    EXPECT_EQ(log.DroppedLines(), 3);
    EXPECT_EQ(log.Memo()->textCursor().position(), log.Memo()->document()->characterCount() - 1);
}

TEST_F(LogWindow, SavesTheWholeLogOrReportsFailure)
{
    test::TempDir dir;
    TfrmLog log;
    log.AppendLine(QStringLiteral("9:05:07. lost a"));
    log.AppendLine(QStringLiteral("9:05:08. back a"));
    const std::filesystem::path file = dir / "log.txt";
    test::WriteFile(file, "older contents");
    ASSERT_TRUE(log.SaveTo(QString::fromStdString(file.string())));
    EXPECT_EQ(test::ReadFile(file), "9:05:07. lost a\n9:05:08. back a\n");
    EXPECT_FALSE(log.SaveTo(QString::fromStdString((dir / "missing" / "log.txt").string())));
}

TEST_F(LogWindow, ContextMenuOffersTranslatedCopyAndSave)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir / "Languages");
    test::WriteFile(dir / "Languages" / "Test.lng",
                    "[Messages]\nLogCopy=Copy it all\nLogSave=Keep it\n");
    SetExecutableDirForTesting(dir.Path());
    SetCurrentLanguage("Test");
    TfrmLog log;
    log.AppendLine(QStringLiteral("9:05:07. lost a"));
    log.ShowLog();
    Q_EMIT log.Memo()->customContextMenuRequested(QPoint(5, 5));
    QMenu* menu = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<QMenu*>(widget); found && found->isVisible()) {
            menu = found;
        }
    }
    ASSERT_NE(menu, nullptr);
    auto* copy = menu->findChild<QAction*>(QStringLiteral("miLogCopy"));
    auto* save = menu->findChild<QAction*>(QStringLiteral("miLogSave"));
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(copy->text(), QStringLiteral("Copy it all"));
    EXPECT_EQ(save->text(), QStringLiteral("Keep it"));
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("9:05:07. lost a\n"));
    menu->close();
    SetExecutableDirForTesting({});
    SetCurrentLanguage("");
}

} // namespace
} // namespace pelmora
