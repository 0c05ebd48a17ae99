#pragma once

#include <optional>
#include <string>

#include "core/config/host_entry_mode.h"
#include "core/config/proxy_record.h"
#include "gui/config/focus_button_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pelmora {

class MaskEdit;

// The host entry dialog: asks for the target text of one host, an IPv4
// address in the fixed-position IP field or an IPv6 address in the text
// field below it, a web address or a LAN name, and carries a web address's
// proxy through the edit. Besides the IP field's input rules it checks only
// IPv6 addresses and ports: OK refuses, with a message, a malformed IPv6
// address and a web address whose IPv6 host or port is unusable. Made for
// one use by the settings dialog, which prepares it for a mode, runs it and
// reads it on OK.
class TfrmAddHost final : public FocusButtonDialog {
    Q_OBJECT
public:
    explicit TfrmAddHost(QWidget* owner);

    // Title, prompt, fields and prefill of the mode. The line and its proxy
    // are those being edited; the Add modes ignore them.
    void Prepare(HostEntryMode mode, const std::string& lineText = {},
                 const std::optional<TProxyRecord>& lineProxy = std::nullopt);

    HostEntryMode Mode() const { return mode_; }

    // The confirmed target text: the IPv6 field's address without
    // surrounding blanks when it holds one, else the IP field's digits and
    // dots; the web address as typed, or the LAN name without surrounding
    // blanks.
    std::string ResultText() const;

    // The web address modes' proxy: parsed from the proxy field when
    // "Use proxy" is checked (throws InvalidIntegerError for a port that is
    // no number), none when it is not.
    std::optional<TProxyRecord> ProxyResult() const;

    // Closes the dialog only on an entry it does not refuse.
    void accept() override;

private:
    void cbProxyClick();
    // Why the entry cannot be taken; empty when it can.
    std::string EntryProblem() const;

    HostEntryMode mode_ = HostEntryMode::AddIP;
    // Made in tab order.
    QPushButton* btnCancel_;
    QPushButton* btnOK_;
    MaskEdit* MaskEdit1_;
    QLineEdit* edHTTP_;
    QCheckBox* cbProxy_;
    QLineEdit* edIPv6_;
    QLabel* lbHint_;
};

} // namespace pelmora
