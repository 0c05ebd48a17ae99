#pragma once

#include <QObject>
#include <QPointer>

#include "gui/help/help_context.h"

class QWidget;

namespace pelmora {

class TfrmHelp;

// The program's help: F1 in any window opens the help viewer at the help
// context of the focused control (gui/help/help_context.h); ShowHelp opens it
// at a given context. Make one after the QApplication, before any window
// that offers help, and let it go before the QApplication.
class HelpDesk final : public QObject {
public:
    HelpDesk();
    ~HelpDesk() override;
    HelpDesk(const HelpDesk&) = delete;
    HelpDesk& operator=(const HelpDesk&) = delete;

    // Shows the topic of the help file whose number is the context, in the
    // one viewer window. Nothing at all is shown when the help file is
    // missing or unreadable or has no such topic.
    void ShowHelp(HelpContext context);

    // The viewer window, made by the first help that found its topic.
    TfrmHelp* Viewer() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HelpKey(QObject* receiver, QEvent* event);
    void MoveViewerTo(QWidget* owner);

    QPointer<TfrmHelp> viewer_;
};

// The same as HelpDesk::ShowHelp on the program's help desk; nothing while
// there is none.
void ShowHelp(HelpContext context);

// Help for a control, as F1 on it would give (a dialog's Help button).
void ShowHelpFor(const QWidget* widget);

} // namespace pelmora
