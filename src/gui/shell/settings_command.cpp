#include "gui/shell/settings_command.h"

#include <QPointer>

#include <memory>

#include "gui/config/settings_dialog.h"
#include "gui/shell/main_form.h"

namespace pelmora {
namespace {

QPointer<TfrmSettings> frmSettings;

} // namespace

std::optional<SettingsChoice> ShowSettingsDialog(TfrmMain& frmMain, const SettingsChoice& values)
{
    const auto dialog = std::make_unique<TfrmSettings>(&frmMain, frmMain);
    frmSettings = dialog.get();
    dialog->Fill(values.settings, values.startAtLogin);
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return SettingsChoice{dialog->Edited(), dialog->StartAtLogin()};
}

TfrmSettings* OpenSettingsDialog()
{
    return frmSettings.data();
}

} // namespace pelmora
