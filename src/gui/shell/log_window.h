#pragma once

#include <QWidget>

class QFrame;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace pelmora {

// The event log: one line per change of a host's state, kept in memory for
// the newest `lineLimit` lines; a first line says how many older ones were
// dropped. Closing the window only hides it. Its context menu copies the
// whole log or saves it to a file; nothing is written unless the user asks.
class TfrmLog final : public QWidget {
public:
    // Enough for months of a flapping host at a few hundred bytes a line.
    static constexpr int kDefaultLineLimit = 10000;

    explicit TfrmLog(QWidget* parent = nullptr, int lineLimit = kDefaultLineLimit);

    // Adds the text as the new last line and scrolls it into view; drops the
    // oldest line once the log holds more than the limit.
    void AppendLine(const QString& line);
    int DroppedLines() const { return dropped_; }
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
    int lineLimit_;
    int dropped_ = 0;
};

} // namespace pelmora
