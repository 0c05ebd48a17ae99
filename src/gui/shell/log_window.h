#pragma once

#include <QWidget>

class QFrame;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace pelmora {

// The event log: one line per change of a host's state, kept in memory for
// the whole run. Closing the window only hides it.
class TfrmLog final : public QWidget {
public:
    explicit TfrmLog(QWidget* parent = nullptr);

    // Adds the text as the new last line and scrolls it into view.
    void AppendLine(const QString& line);
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
    QPlainTextEdit* memLog_;
    QFrame* panel1_;
    QMenuBar* menuBar_ = nullptr;
    bool designedFontSet_ = false;
};

} // namespace pelmora
