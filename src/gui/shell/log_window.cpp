#include "gui/shell/log_window.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include "core/i18n/languages.h"
#include "gui/config/error_box.h"
#include "gui/config/local_text.h"
#include "gui/help/help_context.h"

namespace pelmora {
namespace {

QString Message(const char* key)
{
    return FromLocal8Bit(MessageText(key));
}

} // namespace

TfrmLog::TfrmLog(QWidget* parent, int lineLimit)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      memLog_(new QPlainTextEdit(this)), panel1_(new QFrame(this)), bound_(lineLimit)
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
    // The undo history would keep every appended line for the whole run, and
    // with it the memory the line limit is there to bound.
    memLog_->setUndoRedoEnabled(false);
    memLog_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memLog_, &QWidget::customContextMenuRequested, this, &TfrmLog::ShowContextMenu);

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
    DropOldestLines();
    memLog_->setTextCursor(cursor);
    memLog_->ensureCursorVisible();
}

// The document ends with an empty block after the last line's break, and,
// once lines were dropped, starts with the block that says how many.
void TfrmLog::DropOldestLines()
{
    QTextDocument* document = memLog_->document();
    const int first = bound_.HasNotice() ? 1 : 0;
    const int excess = bound_.Excess(document->blockCount() - 1 - first);
    if (excess == 0) {
        return;
    }
    QTextCursor oldest(document->findBlockByNumber(first));
    oldest.setPosition(document->findBlockByNumber(first + excess).position(),
                       QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
    bound_.Dropped(excess);

    const QString notice = FromLocal8Bit(bound_.Notice());
    QTextCursor top(document->firstBlock());
    if (first == 0) {
        top.insertText(notice + QLatin1Char('\n'));
    } else {
        top.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        top.insertText(notice);
    }
}

bool TfrmLog::SaveTo(const QString& file) const
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray text = memLog_->toPlainText().toLocal8Bit();
    return out.write(text) == text.size() && out.commit();
}

void TfrmLog::CopyAll() const
{
    QGuiApplication::clipboard()->setText(memLog_->toPlainText());
}

void TfrmLog::ShowContextMenu(const QPoint& position)
{
    QMenu* menu = memLog_->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction* copy = menu->addAction(Message("LogCopy"), this, &TfrmLog::CopyAll);
    copy->setObjectName(QStringLiteral("miLogCopy"));
    QAction* save = menu->addAction(Message("LogSave"), this, &TfrmLog::AskAndSave);
    save->setObjectName(QStringLiteral("miLogSave"));
    menu->popup(memLog_->viewport()->mapToGlobal(position));
}

void TfrmLog::AskAndSave()
{
    const QString file =
        QFileDialog::getSaveFileName(this, Message("LogSave"), QStringLiteral("Pelmora-log.txt"));
    if (!file.isEmpty() && !SaveTo(file)) {
        ShowErrorBox(this, "Unable to write to " + ToLocal8Bit(file));
    }
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
