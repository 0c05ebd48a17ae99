#pragma once

namespace pelmora {

class TfrmMain;
class TfrmSettings;

// The tray menu's Settings command. Shows the settings dialog modally,
// filled from the running program; on OK replaces the host list (every entry
// Down), the pop-up font, both intervals and the number of parallel checks
// while the worker is held, and saves them. On Cancel only the language is
// read back from the settings file and the windows translated again. One
// dialog at a time: while one is open the command does nothing. Errors are
// shown in an error box and leave the command usable.
void miSettingsClick(TfrmMain& frmMain);

// The settings dialog while the command shows it, otherwise null.
TfrmSettings* OpenSettingsDialog();

} // namespace pelmora
