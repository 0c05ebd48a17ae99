#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/config/host_entry_mode.h"
#include "core/config/proxy_record.h"
#include "core/config/settings.h"
#include "gui/config/focus_button_dialog.h"

class QComboBox;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;

namespace pelmora {

class DropDownComboBox;
class FontChooser;
class SpinEdit;
class TfrmAddHost;

// The settings dialog: the host list, the check period, the pop-up delay,
// the number of hosts checked at the same time, the pop-up font and the
// language. It works on its own copy of the host list, which the Settings
// command fills and reads back; only the font and the language take effect
// while it is open. The pop-up font is read from and applied to `popUp` at
// once; nothing else of it is touched.
class TfrmSettings final : public FocusButtonDialog {
    Q_OBJECT
public:
    TfrmSettings(QWidget* owner, SettingsHolder& popUp);

    void SelectPage(int index);

    // The host lines, each the target text of a host that may carry a proxy.
    void AddHostLine(const std::string& target, const std::optional<TProxyRecord>& proxy);
    int HostLineCount() const;
    std::string HostLineText(int row) const;
    std::optional<TProxyRecord> HostLineProxy(int row) const;

    // Milliseconds; text that is no whole number reads as 0.
    std::int32_t PopUpInterval() const;
    void SetPopUpInterval(std::int32_t milliseconds);
    std::int32_t CheckPeriod() const;
    void SetCheckPeriod(std::int32_t milliseconds);
    // Within kMinParallelChecks..kMaxParallelChecks, typed or not.
    std::size_t ParallelChecks() const;
    void SetParallelChecks(std::size_t count);
    // Within kMinAttempts..kMaxAttempts, typed or not.
    std::int32_t Attempts() const;
    void SetAttempts(std::int32_t count);
    // Where end-of-cycle reports are shown.
    pelmora::ReportStyle ReportStyle() const;
    void SetReportStyle(pelmora::ReportStyle style);

    // The font button and the font chooser start with this font; the
    // chooser's font is what OK gives the pop-up.
    void SetPopUpFont(const PopUpFont& font);
    const PopUpFont& ChooserFont() const;

    // Shows the language name without taking it into effect.
    void SetLanguageText(const std::string& language);

    // The "start at login" box; the Settings command reads the entry into it
    // and applies it on OK.
    bool StartAtLogin() const;
    void SetStartAtLogin(bool on);

private:
    void BuildHostListPage(QWidget* page);
    void BuildCheckParamsPage(QWidget* page);
    void BuildViewPage(QWidget* page);
    void BuildLanguagesPage(QWidget* page);
    void FitToTexts();

    void lbSettingsClick(int row);
    void AddHost(HostEntryMode mode);
    void btnEditClick();
    void btnDeleteClick();
    void btnFontInPopUpClick();
    void cbLangDropDown();
    void cbLangChange(const QString& text);

    QListWidgetItem& AppendLine(const QString& text);
    int SelectedRow() const;
    void TakeProxyResult(const TfrmAddHost& dialog, QListWidgetItem& line);
    void ShowFontOnButton(const PopUpFont& font);

    SettingsHolder& popUp_;
    QListWidget* lbSettings_;
    QStackedWidget* Notebook1_;
    QListWidget* lbxHosts_ = nullptr;
    SpinEdit* sePopUpInt_ = nullptr;
    SpinEdit* seCheckPeriod_ = nullptr;
    SpinEdit* seParallelChecks_ = nullptr;
    SpinEdit* seAttempts_ = nullptr;
    QPushButton* btnFontInPopUp_ = nullptr;
    QComboBox* cbReportStyle_ = nullptr;
    QCheckBox* cbAutostart_ = nullptr;
    FontChooser* FontDialog1_;
    DropDownComboBox* cbLang_ = nullptr;
};

} // namespace pelmora
