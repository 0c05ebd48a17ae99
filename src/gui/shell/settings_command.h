#pragma once

#include <optional>

#include "core/shell/settings_sequence.h"

namespace pelmora {

class TfrmMain;
class TfrmSettings;

// The Settings command's dialog: made over the main form for this one use,
// filled with `values` and shown modally; the edited values on OK, nothing
// otherwise. The dialog is freed before this returns.
std::optional<SettingsChoice> ShowSettingsDialog(TfrmMain& frmMain, const SettingsChoice& values);

// The settings dialog while the command shows it, otherwise null.
TfrmSettings* OpenSettingsDialog();

} // namespace pelmora
