#pragma once

class QAction;
class QWidget;

namespace pelmora {

// Help contexts: the number of the help topic that F1 opens for a control.
// 0 means the control has none. The contexts the program uses: 1 the Help
// menu item, 2 the pop-up, its memo and the log memo, 3 the settings dialog,
// 5 the About box.
void SetHelpContext(QWidget* widget, int context);
void SetHelpContext(QAction* action, int context);

// The control's own context, 0 when it carries none.
int HelpContextOf(const QWidget* widget);
int HelpContextOf(const QAction* action);

// The context that F1 on this control opens: its own, or else that of the
// nearest control around it, up to and including its window (a dialog does
// not borrow the context of the window that owns it). 0 when none has one.
int HelpContextFor(const QWidget* widget);

} // namespace pelmora
