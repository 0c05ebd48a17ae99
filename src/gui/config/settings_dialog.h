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

// The pop-up whose font the settings dialog shows and changes at once.
class PopUpFontTarget {
public:
    PopUpFontTarget() = default;
    PopUpFontTarget(const PopUpFontTarget&) = delete;
    PopUpFontTarget& operator=(const PopUpFontTarget&) = delete;
    virtual ~PopUpFontTarget() = default;

    virtual PopUpFont Font() const = 0;
    virtual void SetFont(const PopUpFont& font) = 0;
};

// The settings dialog: the host list, the check parameters, the view and
// the language. It edits a copy of the settings, which the Settings command
// fills and takes back as a whole; only the font and the language take
// effect while it is open. The pop-up font is read from and applied to
// `popUp` at once; nothing else of it is touched.
class TfrmSettings final : public FocusButtonDialog {
    Q_OBJECT
public:
    TfrmSettings(QWidget* owner, PopUpFontTarget& popUp);

    // Shows these values on the first page, without taking the language into
    // effect; `startAtLogin` ticks the "start at login" box.
    void Fill(const Settings& settings, bool startAtLogin);
    // The values as edited: the copy filled in, with what the controls hold.
    // Spin fields give their numbers within their bounds; the font is the
    // chooser's.
    Settings Edited() const;
    bool StartAtLogin() const;

    void SelectPage(int index);

    // The host lines, each the target text of a host that may carry a proxy.
    void AddHostLine(const std::string& target, const std::optional<TProxyRecord>& proxy);
    int HostLineCount() const;
    std::string HostLineText(int row) const;
    std::optional<TProxyRecord> HostLineProxy(int row) const;

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

    PopUpFontTarget& popUp_;
    Settings values_;
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
