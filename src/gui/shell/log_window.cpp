#include "gui/shell/log_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include "gui/help/help_context.h"

namespace pelmora {

TfrmLog::TfrmLog(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      memLog_(new QPlainTextEdit(this)), panel1_(new QFrame(this))
{
    setObjectName(QStringLiteral("frmLog"));
    setWindowTitle(QStringLiteral("Log"));
    resize(276, 423);
    move(0, 0);

    memLog_->setObjectName(QStringLiteral("memLog"));
    memLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memLog_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetHelpContext(memLog_, HelpContext::Notices);

    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setFrameShape(QFrame::Panel);
    panel1_->setFrameShadow(QFrame::Raised);
    panel1_->setFixedHeight(7);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(memLog_);
    layout->addWidget(panel1_);
}

void TfrmLog::AppendLine(const QString& line)
{
    // Whatever the user typed stays; the new line always starts a line of
    // its own at the very end.
    QTextCursor cursor(memLog_->document());
    cursor.movePosition(QTextCursor::End);
    if (!memLog_->document()->lastBlock().text().isEmpty()) {
        cursor.insertText(QStringLiteral("\n"));
    }
    cursor.insertText(line + QLatin1Char('\n'));
    memLog_->setTextCursor(cursor);
    memLog_->ensureCursorVisible();
}

void TfrmLog::ShowLog()
{
    show();
    raise();
    activateWindow();
}

void TfrmLog::SetMenu(QMenu* menu)
{
    // The menu stays its owner's; only the bar that showed it goes.
    delete menuBar_;
    menuBar_ = nullptr;
    layout()->setMenuBar(nullptr);
    if (menu == nullptr) {
        return;
    }
    menuBar_ = new QMenuBar(this);
    menu->setTitle(QStringLiteral("Pelmora"));
    menuBar_->addMenu(menu);
    layout()->setMenuBar(menuBar_);
}

void TfrmLog::showEvent(QShowEvent* event)
{
    // The designed font is loaded when the log is first seen: most runs never
    // open it, and a font face costs a few hundred KiB for the whole run.
    // Until then the lines are laid out in the application's font.
    if (!designedFontSet_) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(14);
        memLog_->setFont(font);
        designedFontSet_ = true;
    }
    QWidget::showEvent(event);
}

void TfrmLog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    hide();
}

} // namespace pelmora
