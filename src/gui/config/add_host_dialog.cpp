#include "gui/config/add_host_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/base/char_class.h"
#include "core/config/ip_field_text.h"
#include "core/config/proxy_field.h"
#include "core/i18n/languages.h"
#include "core/monitor/hosts/host_rules.h"
#include "core/monitor/net/ipv6_literal.h"
#include "gui/config/error_box.h"
#include "gui/config/local_text.h"
#include "gui/config/mask_edit.h"
#include "gui/i18n/form_translation.h"

namespace pelmora {
namespace {

constexpr QSize kDesignedClientSize(232, 105);

struct ModeTexts {
    const char* titleKey;
    const char* promptKey;
};

ModeTexts TextsOf(HostEntryMode mode)
{
    switch (mode) {
    case HostEntryMode::AddIP: return {"NewIP", "InputIP"};
    case HostEntryMode::AddHTTP: return {"NewHTTP", "InputHost"};
    case HostEntryMode::AddLAN: return {"NewLAN", "InputLAN"};
    case HostEntryMode::EditIP: return {"EditIP", "InputIP"};
    case HostEntryMode::EditHTTP: return {"EditHTTP", "InputHost"};
    case HostEntryMode::EditLAN: return {"EditLAN", "InputLAN"};
    }
    return {"", ""};
}

bool IsLanMode(HostEntryMode mode)
{
    return mode == HostEntryMode::AddLAN || mode == HostEntryMode::EditLAN;
}

QString Message(const char* key)
{
    return FromLocal8Bit(MessageText(key));
}

} // namespace

TfrmAddHost::TfrmAddHost(QWidget* owner)
    : FocusButtonDialog(owner, kDesignedClientSize),
      btnCancel_(AddButton("btnCancel", QStringLiteral("Cancel"))),
      btnOK_(AddButton("btnOK", QStringLiteral("OK"))), MaskEdit1_(new MaskEdit(this)),
      edHTTP_(new QLineEdit(QStringLiteral("http://"), this)),
      cbProxy_(new QCheckBox(QStringLiteral("Use proxy"), this)), edIPv6_(new QLineEdit(this)),
      lbHint_(new QLabel(QStringLiteral("Input IP address of new host"), this))
{
    setObjectName(QStringLiteral("frmAddHost"));
    setWindowTitle(QStringLiteral("frmAddHost"));
    lbHint_->setObjectName(QStringLiteral("lbHint"));
    lbHint_->setWordWrap(true);
    MaskEdit1_->setObjectName(QStringLiteral("MaskEdit1"));
    edHTTP_->setObjectName(QStringLiteral("edHTTP"));
    cbProxy_->setObjectName(QStringLiteral("cbProxy"));
    cbProxy_->setVisible(false);
    edIPv6_->setObjectName(QStringLiteral("edIPv6"));
    edIPv6_->setPlaceholderText(QStringLiteral("IPv6"));
    edIPv6_->setVisible(false);

    // Wide enough for a whole proxy field text in the field's own font.
    const int fieldWidth =
        MaskEdit1_->fontMetrics().horizontalAdvance(QStringLiteral("000.000.000.000:00000"));
    MaskEdit1_->setMinimumWidth(fieldWidth + MaskEdit1_->fontMetrics().averageCharWidth() * 3);

    // Hidden fields take no room, so each mode shows its own fields in this
    // order under the prompt: the address, then the proxy below it.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbHint_);
    layout->addWidget(edHTTP_);
    layout->addWidget(cbProxy_);
    layout->addWidget(MaskEdit1_);
    layout->addWidget(edIPv6_);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(btnOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbProxy_, &QCheckBox::toggled, this, &TfrmAddHost::cbProxyClick);

    TranslateForm(this);
}

void TfrmAddHost::Prepare(HostEntryMode mode, const std::string& lineText,
                          const std::optional<TProxyRecord>& lineProxy)
{
    mode_ = mode;
    const ModeTexts texts = TextsOf(mode);
    setWindowTitle(Message(texts.titleKey));
    lbHint_->setText(Message(texts.promptKey));

    const bool ipMode = IsIpMode(mode);
    const bool httpMode = IsHttpMode(mode);
    MaskEdit1_->setVisible(ipMode || httpMode);
    edHTTP_->setVisible(!ipMode);
    cbProxy_->setVisible(httpMode);
    edIPv6_->setVisible(ipMode);
    edIPv6_->clear();
    MaskEdit1_->SetIpRules(ipMode);

    switch (mode) {
    case HostEntryMode::AddIP: MaskEdit1_->SetProgramText(QString()); break;
    case HostEntryMode::EditIP:
        // An IPv6 address goes back to its own field, whatever its form.
        if (LooksLikeIpv6(lineText)) {
            MaskEdit1_->SetProgramText(QString());
            edIPv6_->setText(FromLocal8Bit(lineText));
        } else {
            MaskEdit1_->SetProgramText(FromLocal8Bit(PadIpOctets(lineText)));
        }
        break;
    case HostEntryMode::AddHTTP: edHTTP_->setText(QStringLiteral("http://")); break;
    case HostEntryMode::AddLAN: edHTTP_->setText(QStringLiteral("\\\\")); break;
    case HostEntryMode::EditHTTP:
    case HostEntryMode::EditLAN: edHTTP_->setText(FromLocal8Bit(lineText)); break;
    }
    if (httpMode) {
        const bool withProxy = mode == HostEntryMode::EditHTTP && lineProxy.has_value();
        MaskEdit1_->SetProgramText(withProxy ? FromLocal8Bit(ProxyFieldText(*lineProxy))
                                             : QString());
        cbProxy_->setChecked(withProxy);
        cbProxyClick();
    }

    btnCancel_->setFocus();
    FitSize();
    CentreOnScreen();
}

std::string TfrmAddHost::ResultText() const
{
    if (IsIpMode(mode_)) {
        const std::string v6 = ToLocal8Bit(edIPv6_->text());
        if (!TrimControlsAndSpaces(v6).empty()) {
            return std::string(TrimControlsAndSpaces(v6));
        }
        return KeepDigitsAndDots(ToLocal8Bit(MaskEdit1_->RawText()));
    }
    const std::string text = ToLocal8Bit(edHTTP_->text());
    return IsLanMode(mode_) ? std::string(TrimControlsAndSpaces(text)) : text;
}

std::optional<TProxyRecord> TfrmAddHost::ProxyResult() const
{
    if (!IsHttpMode(mode_) || !cbProxy_->isChecked()) {
        return std::nullopt;
    }
    return ParseProxyField(ToLocal8Bit(MaskEdit1_->RawText()));
}

std::string TfrmAddHost::EntryProblem() const
{
    if (IsIpMode(mode_)) {
        const std::string v6 = ToLocal8Bit(edIPv6_->text());
        return TrimControlsAndSpaces(v6).empty() ? std::string()
                                                 : Ipv6Problem(TrimControlsAndSpaces(v6));
    }
    return IsHttpMode(mode_) ? WebAddressProblem(ResultText()) : std::string();
}

void TfrmAddHost::accept()
{
    if (const std::string problem = EntryProblem(); !problem.empty()) {
        ShowErrorBox(this, problem);
        return;
    }
    FocusButtonDialog::accept();
}

void TfrmAddHost::cbProxyClick()
{
    MaskEdit1_->setEnabled(cbProxy_->isChecked());
}

} // namespace pelmora
