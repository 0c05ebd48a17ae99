#include "gui/shell/log_window.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <gtest/gtest.h>

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

} // namespace
} // namespace pelmora
