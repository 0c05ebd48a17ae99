#pragma once

#include <QWidget>

#include "core/shell/log_bound.h"

class QFrame;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace pelmora {

// The event log: one line per change of a host's state, kept in memory for
// the newest `lineLimit` lines; a first line says how many older ones were
// dropped (LogBound decides both). Closing the window only hides it. Its context menu copies the
// whole log or saves it to a file; nothing is written unless the user asks.
class TfrmLog final : public QWidget {
public:
    explicit TfrmLog(QWidget* parent = nullptr, int lineLimit = LogBound::kDefaultLineLimit);

    // Adds the text as the new last line and scrolls it into view; drops the
    // oldest line once the log holds more than the limit.
    void AppendLine(const QString& line);
    int DroppedLines() const { return bound_.DroppedLines(); }
    // Writes the whole log to the file, replacing it at once or not at all;
    // false when that failed.
    bool SaveTo(const QString& file) const;
    void CopyAll() const;
    void ShowLog();
    // Gives the window a menu bar with the tray menu, for desktops that have
    // no notification area; null takes the menu bar away again.
    void SetMenu(QMenu* menu);
    QMenuBar* MenuBar() const { return menuBar_; }

    QPlainTextEdit* Memo() const { return memLog_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void DropOldestLines();
    void ShowContextMenu(const QPoint& position);
    void AskAndSave();

    QPlainTextEdit* memLog_;
    QFrame* panel1_;
    QMenuBar* menuBar_ = nullptr;
    bool designedFontSet_ = false;
    LogBound bound_;
};

} // namespace pelmora
