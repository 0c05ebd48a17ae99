#pragma once

#include <QPointer>

#include "gui/app/about_box.h"

class QWidget;

namespace pelmora {

// The tray menu's About command. It shows the About box modally, owned by
// the main window, and frees it when it closes; while a box is open a
// further About command does nothing.
class AboutCommand {
public:
    explicit AboutCommand(QWidget* mainWindow) : mainWindow_(mainWindow) {}

    void miAboutClick();

    // The box while it is open, none otherwise.
    TfrmAbout* OpenBox() const { return frmAbout_; }

private:
    QWidget* mainWindow_;
    QPointer<TfrmAbout> frmAbout_;
};

} // namespace pelmora
