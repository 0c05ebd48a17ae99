#include "gui/app/about_command.h"

#include "gui/app/about_box.h"

namespace pelmora {

void AboutCommand::miAboutClick()
{
    if (frmAbout_) {
        return;
    }
    frmAbout_ = new TfrmAbout(mainWindow_);
    frmAbout_->exec();
    // Gone already when the main window went while the box was open.
    delete frmAbout_.data();
}

} // namespace pelmora
