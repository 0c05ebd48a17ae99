#pragma once

class QAction;
class QWidget;

namespace pelmora {

// Help contexts: the number of the help topic that F1 opens for a control,
// as the help file numbers its topics. None: the control has none.
enum class HelpContext : int {
    None = 0,
    HelpItem = 1, // the tray menu's Help item
    Notices = 2,  // the pop-up, its memo and the log memo
    Settings = 3, // the settings dialog
    About = 5,    // the About box
};

void SetHelpContext(QWidget* widget, HelpContext context);
void SetHelpContext(QAction* action, HelpContext context);

// The control's own context, None when it carries none.
HelpContext HelpContextOf(const QWidget* widget);
HelpContext HelpContextOf(const QAction* action);

// The context that F1 on this control opens: its own, or else that of the
// nearest control around it, up to and including its window (a dialog does
// not borrow the context of the window that owns it). None when none has one.
HelpContext HelpContextFor(const QWidget* widget);

} // namespace pelmora
