#include "gui/config/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "core/config/language_list.h"
#include "core/config/proxy_field.h"
#include "core/config/proxy_record.h"
#include "core/config/setting_keys.h"
#include "core/i18n/languages.h"
#include "gui/config/add_host_dialog.h"
#include "gui/config/drop_down_combo_box.h"
#include "gui/config/error_box.h"
#include "gui/config/font_chooser.h"
#include "gui/config/font_conversion.h"
#include "gui/config/local_text.h"
#include "gui/config/spin_edit.h"
#include "gui/help/help_context.h"
#include "gui/help/help_desk.h"
#include "gui/i18n/form_translation.h"

Q_DECLARE_METATYPE(pelmora::TProxyRecord)

namespace pelmora {
namespace {

constexpr QSize kDesignedClientSize(435, 325);
constexpr int kDesignedSelectorWidth = 121;
constexpr int kDesignedPanelHeight = 27;
// The dialog's inner border.
constexpr int kBorder = 3;

// A line's proxy rides on the line itself, so it goes wherever the line goes.
constexpr int kProxyRole = Qt::UserRole;

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

std::optional<TProxyRecord> ProxyOf(const QListWidgetItem& line)
{
    const QVariant proxy = line.data(kProxyRole);
    if (!proxy.isValid()) {
        return std::nullopt;
    }
    return proxy.value<TProxyRecord>();
}

void SetProxy(QListWidgetItem& line, const std::optional<TProxyRecord>& proxy)
{
    line.setData(kProxyRole, proxy ? QVariant::fromValue(*proxy) : QVariant());
}

// A count the settings file bounds, with the file's bounds.
SpinEdit* BoundedSpinEdit(QWidget* parent, std::string_view key)
{
    const SettingBounds bounds = FindSettingKey("CheckParams", key).bounds.value();
    return new SpinEdit(parent, bounds.min, bounds.max);
}

// A number from the settings in a field that may take fewer.
int FieldValue(const SpinEdit& field, std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, field.minimum(), field.maximum()));
}

} // namespace

TfrmSettings::TfrmSettings(QWidget* owner, PopUpFontTarget& popUp)
    : FocusButtonDialog(owner, kDesignedClientSize), popUp_(popUp),
      lbSettings_(Named(new QListWidget(this), "lbSettings")),
      Notebook1_(Named(new QStackedWidget(this), "Notebook1")), FontDialog1_(new FontChooser(this))
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));

    lbSettings_->addItems({QStringLiteral("Host list"), QStringLiteral("Check parametrs"),
                           QStringLiteral("View"), QStringLiteral("Languages")});
    const char* const pageNames[] = {"HostList", "CheckParams", "View", "Languages"};
    for (const char* name : pageNames) {
        Notebook1_->addWidget(Named(new QWidget(Notebook1_), name));
    }
    BuildHostListPage(Notebook1_->widget(0));
    BuildCheckParamsPage(Notebook1_->widget(1));
    BuildViewPage(Notebook1_->widget(2));
    BuildLanguagesPage(Notebook1_->widget(3));
    connect(lbSettings_, &QListWidget::currentRowChanged, this, &TfrmSettings::lbSettingsClick);

    auto* Panel1 = Named(new QWidget(this), "Panel1");
    QPushButton* btnOK = AddButton("btnOK", QStringLiteral("OK"));
    QPushButton* btnCancel = AddButton("btnCancel", QStringLiteral("Cancel"));
    QPushButton* btnHelp = AddButton("btnHelp", QStringLiteral("Help"));
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, kBorder, 0, 0);
    panelLayout->addStretch(1);
    panelLayout->addWidget(btnOK);
    panelLayout->addWidget(btnCancel);
    panelLayout->addWidget(btnHelp);
    Panel1->setMinimumHeight(
        static_cast<int>(std::lround(kDesignedPanelHeight * logicalDpiY() / 96.0)));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Help is what F1 on the Help button itself asks for.
    connect(btnHelp, &QPushButton::clicked, this, [btnHelp] { ShowHelpFor(btnHelp); });
    for (QWidget* control :
         std::initializer_list<QWidget*>{lbSettings_, Panel1, btnHelp, btnCancel, btnOK}) {
        SetHelpContext(control, HelpContext::Settings);
    }

    auto* body = new QHBoxLayout;
    body->addWidget(lbSettings_);
    body->addWidget(Notebook1_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    layout->addLayout(body, 1);
    layout->addWidget(Panel1);

    TranslateForm(this);
    FitToTexts();
    CentreOnScreen();
}

void TfrmSettings::BuildHostListPage(QWidget* page)
{
    auto* gbHostList = Named(new QGroupBox(QStringLiteral("Host list"), page), "gbHostList");
    lbxHosts_ = Named(new QListWidget(gbHostList), "lbxHosts");
    lbxHosts_->setSelectionMode(QAbstractItemView::SingleSelection);
    const auto hostButton = [this](const char* name, const char* caption, const char* hint) {
        QPushButton* button = AddButton(name, QLatin1String(caption));
        button->setToolTip(QLatin1String(hint));
        return button;
    };
    QPushButton* btnAddIP = hostButton("btnAddIP", "Add IP", "Add IP address");
    QPushButton* btnAddHTTP = hostButton("btnAddHTTP", "Add HTTP", "Add HTTP server");
    QPushButton* btnAddLan = hostButton("btnAddLan", "Add LAN", "Add LAN address");
    QPushButton* btnEdit = hostButton("btnEdit", "Edit", "Edit selected host");
    QPushButton* btnDelete = hostButton("btnDelete", "Delete", "Delete selected host");

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {btnAddIP, btnAddHTTP, btnAddLan, btnEdit, btnDelete}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    for (QWidget* control : std::initializer_list<QWidget*>{
             gbHostList, lbxHosts_, btnAddIP, btnAddHTTP, btnAddLan, btnEdit, btnDelete}) {
        SetHelpContext(control, HelpContext::Settings);
    }
    auto* groupLayout = new QHBoxLayout(gbHostList);
    groupLayout->addWidget(lbxHosts_, 1);
    groupLayout->addLayout(buttons);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(gbHostList);

    connect(btnAddIP, &QPushButton::clicked, this, [this] { AddHost(HostEntryMode::AddIP); });
    connect(btnAddHTTP, &QPushButton::clicked, this, [this] { AddHost(HostEntryMode::AddHTTP); });
    connect(btnAddLan, &QPushButton::clicked, this, [this] { AddHost(HostEntryMode::AddLAN); });
    connect(btnEdit, &QPushButton::clicked, this, &TfrmSettings::btnEditClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmSettings::btnDeleteClick);
}

void TfrmSettings::BuildCheckParamsPage(QWidget* page)
{
    auto* gbCheckParams =
        Named(new QGroupBox(QStringLiteral("Check parametrs"), page), "gbCheckParams");
    auto* lbPopUpDelay =
        Named(new QLabel(QStringLiteral("Pop-up window delay, ms"), gbCheckParams), "lbPopUpDelay");
    sePopUpInt_ = Named(new SpinEdit(gbCheckParams), "sePopUpInt");
    auto* lbCheckInterval =
        Named(new QLabel(QStringLiteral("Check period, ms"), gbCheckParams), "lbCheckInterval");
    seCheckPeriod_ = Named(new SpinEdit(gbCheckParams), "seCheckPeriod");
    auto* lbParallelChecks =
        Named(new QLabel(QStringLiteral("Hosts checked at the same time"), gbCheckParams),
              "lbParallelChecks");
    seParallelChecks_ = Named(BoundedSpinEdit(gbCheckParams, "ParallelChecks"), "seParallelChecks");
    auto* lbAttempts =
        Named(new QLabel(QStringLiteral("Failed checks in a row before a host counts as down"),
                         gbCheckParams),
              "lbAttempts");
    seAttempts_ = Named(BoundedSpinEdit(gbCheckParams, "Attempts"), "seAttempts");
    auto* groupLayout = new QVBoxLayout(gbCheckParams);
    const std::pair<QLabel*, SpinEdit*> fields[] = {{lbPopUpDelay, sePopUpInt_},
                                                    {lbCheckInterval, seCheckPeriod_},
                                                    {lbParallelChecks, seParallelChecks_},
                                                    {lbAttempts, seAttempts_}};
    for (const auto& [label, field] : fields) {
        if (field != sePopUpInt_) {
            groupLayout->addSpacing(groupLayout->spacing() * 2);
        }
        label->setBuddy(field);
        label->setWordWrap(true);
        groupLayout->addWidget(label);
        groupLayout->addWidget(field, 0, Qt::AlignLeft);
    }
    groupLayout->addStretch(1);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(gbCheckParams);
}

void TfrmSettings::BuildViewPage(QWidget* page)
{
    auto* gbView = Named(new QGroupBox(QStringLiteral("View"), page), "gbView");
    btnFontInPopUp_ = AddButton("btnFontInPopUp", QStringLiteral("Font in pop-up window"));
    auto* lbReportStyle =
        Named(new QLabel(QStringLiteral("Show reports"), gbView), "lbReportStyle");
    cbReportStyle_ = Named(new QComboBox(gbView), "cbReportStyle");
    // In the order of ReportStyle's values.
    cbReportStyle_->addItems({QStringLiteral("Balloon by the tray, else a desktop notification"),
                              QStringLiteral("Balloon"), QStringLiteral("Desktop notification"),
                              QStringLiteral("Balloon and desktop notification")});
    lbReportStyle->setBuddy(cbReportStyle_);
    lbReportStyle->setWordWrap(true);
    auto* groupLayout = new QVBoxLayout(gbView);
    groupLayout->addWidget(btnFontInPopUp_, 0, Qt::AlignLeft);
    groupLayout->addSpacing(groupLayout->spacing() * 2);
    groupLayout->addWidget(lbReportStyle);
    groupLayout->addWidget(cbReportStyle_, 0, Qt::AlignLeft);
    cbAutostart_ = Named(new QCheckBox(QStringLiteral("Start at login"), gbView), "cbAutostart");
    groupLayout->addSpacing(groupLayout->spacing() * 2);
    groupLayout->addWidget(cbAutostart_, 0, Qt::AlignLeft);
    groupLayout->addStretch(1);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(gbView);
    connect(btnFontInPopUp_, &QPushButton::clicked, this, &TfrmSettings::btnFontInPopUpClick);
}

void TfrmSettings::BuildLanguagesPage(QWidget* page)
{
    auto* gbLanguages = Named(new QGroupBox(QStringLiteral("Languages"), page), "gbLanguages");
    auto* lbSelectLang =
        Named(new QLabel(QStringLiteral("Select language"), gbLanguages), "lbSelectLang");
    cbLang_ = Named(new DropDownComboBox(gbLanguages), "cbLang");
    // Every keystroke is a language name of its own: no completion, and
    // Enter adds nothing to the list.
    cbLang_->setEditable(true);
    cbLang_->setCompleter(nullptr);
    cbLang_->setInsertPolicy(QComboBox::NoInsert);
    cbLang_->setMinimumContentsLength(20);
    cbLang_->SetOnDropDown([this] { cbLangDropDown(); });
    lbSelectLang->setBuddy(cbLang_);
    lbSelectLang->setWordWrap(true);

    auto* groupLayout = new QVBoxLayout(gbLanguages);
    groupLayout->addWidget(lbSelectLang);
    groupLayout->addWidget(cbLang_, 0, Qt::AlignLeft);
    groupLayout->addStretch(1);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(gbLanguages);
    connect(cbLang_, &QComboBox::editTextChanged, this, &TfrmSettings::cbLangChange);
}

void TfrmSettings::FitToTexts()
{
    // The page selector keeps its designed width unless its items need more.
    const int designed =
        static_cast<int>(std::lround(kDesignedSelectorWidth * logicalDpiY() / 96.0));
    const int needed = lbSettings_->sizeHintForColumn(0) + 2 * lbSettings_->frameWidth() +
                       lbSettings_->fontMetrics().averageCharWidth() * 2;
    lbSettings_->setFixedWidth(std::max(designed, needed));
    FitSize();
}

void TfrmSettings::SelectPage(int index)
{
    lbSettings_->setCurrentRow(index);
}

void TfrmSettings::lbSettingsClick(int row)
{
    if (row >= 0 && row < Notebook1_->count()) {
        Notebook1_->setCurrentIndex(row);
    }
}

void TfrmSettings::AddHostLine(const std::string& target, const std::optional<TProxyRecord>& proxy)
{
    SetProxy(AppendLine(FromLocal8Bit(target)), proxy);
}

QListWidgetItem& TfrmSettings::AppendLine(const QString& text)
{
    lbxHosts_->addItem(text);
    return *lbxHosts_->item(lbxHosts_->count() - 1);
}

int TfrmSettings::HostLineCount() const
{
    return lbxHosts_->count();
}

std::string TfrmSettings::HostLineText(int row) const
{
    return ToLocal8Bit(lbxHosts_->item(row)->text());
}

std::optional<TProxyRecord> TfrmSettings::HostLineProxy(int row) const
{
    return ProxyOf(*lbxHosts_->item(row));
}

void TfrmSettings::Fill(const Settings& settings, bool startAtLogin)
{
    values_ = settings;
    SelectPage(0);
    lbxHosts_->clear();
    for (const HostLine& host : settings.hosts) {
        // A proxy text without a usable port shows as no proxy.
        std::optional<TProxyRecord> proxy;
        if (!host.proxy.empty()) {
            proxy = ProxyRecordFromText(host.proxy);
        }
        AddHostLine(host.target, proxy);
    }
    sePopUpInt_->setValue(settings.popUpInterval);
    seCheckPeriod_->setValue(settings.checkPeriod);
    seParallelChecks_->setValue(
        FieldValue(*seParallelChecks_, static_cast<std::int64_t>(settings.parallelChecks)));
    seAttempts_->setValue(FieldValue(*seAttempts_, settings.attempts));
    cbReportStyle_->setCurrentIndex(static_cast<int>(settings.reportStyle));
    FontDialog1_->SetFont(settings.font);
    ShowFontOnButton(settings.font);
    const QSignalBlocker quiet(cbLang_);
    cbLang_->setEditText(FromLocal8Bit(settings.language));
    cbAutostart_->setChecked(startAtLogin);
}

Settings TfrmSettings::Edited() const
{
    Settings edited = values_;
    edited.hosts.clear();
    for (int row = 0; row < HostLineCount(); ++row) {
        const std::optional<TProxyRecord> proxy = HostLineProxy(row);
        edited.hosts.push_back({HostLineText(row), proxy ? ProxyText(*proxy) : std::string()});
    }
    edited.popUpInterval = sePopUpInt_->Value();
    edited.checkPeriod = seCheckPeriod_->Value();
    edited.parallelChecks = static_cast<std::size_t>(seParallelChecks_->Value());
    edited.attempts = seAttempts_->Value();
    edited.reportStyle = static_cast<ReportStyle>(std::max(cbReportStyle_->currentIndex(), 0));
    edited.font = FontDialog1_->Font();
    edited.language = ToLocal8Bit(cbLang_->currentText());
    return edited;
}

bool TfrmSettings::StartAtLogin() const
{
    return cbAutostart_->isChecked();
}

int TfrmSettings::SelectedRow() const
{
    const QListWidgetItem* line = lbxHosts_->currentItem();
    return line != nullptr && line->isSelected() ? lbxHosts_->row(line) : -1;
}

void TfrmSettings::AddHost(HostEntryMode mode)
{
    TfrmAddHost dialog(this);
    dialog.Prepare(mode);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QListWidgetItem& line = AppendLine(FromLocal8Bit(dialog.ResultText()));
    if (mode == HostEntryMode::AddHTTP) {
        TakeProxyResult(dialog, line);
    }
}

void TfrmSettings::btnEditClick()
{
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    QListWidgetItem& line = *lbxHosts_->item(row);
    const std::string text = ToLocal8Bit(line.text());
    const HostEntryMode mode = EditModeOf(text);
    TfrmAddHost dialog(this);
    dialog.Prepare(mode, text, ProxyOf(line));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    line.setText(FromLocal8Bit(dialog.ResultText()));
    if (mode == HostEntryMode::EditHTTP) {
        TakeProxyResult(dialog, line);
    }
}

// The line's text is in place before the proxy is read, so a proxy field
// that gives no port leaves the new text with the proxy the line had.
void TfrmSettings::TakeProxyResult(const TfrmAddHost& dialog, QListWidgetItem& line)
{
    try {
        SetProxy(line, dialog.ProxyResult());
    } catch (const InvalidIntegerError& error) {
        ShowErrorBox(this, error.what());
    }
}

void TfrmSettings::btnDeleteClick()
{
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    delete lbxHosts_->takeItem(row);
    if (lbxHosts_->count() > 0) {
        lbxHosts_->setCurrentRow(0);
    }
}

void TfrmSettings::btnFontInPopUpClick()
{
    FontDialog1_->SetFont(popUp_.Font());
    if (FontDialog1_->Execute()) {
        popUp_.SetFont(FontDialog1_->Font());
        ShowFontOnButton(FontDialog1_->Font());
    }
}

void TfrmSettings::ShowFontOnButton(const PopUpFont& font)
{
    btnFontInPopUp_->setFont(ToQFont(font));
    QPalette palette = btnFontInPopUp_->palette();
    palette.setColor(QPalette::ButtonText, ToQColor(font.color));
    btnFontInPopUp_->setPalette(palette);
    FitSize();
}

void TfrmSettings::cbLangDropDown()
{
    const QString text = cbLang_->currentText();
    const QSignalBlocker quiet(cbLang_);
    cbLang_->clear();
    for (const std::string& language : ListLanguageNames(LanguagesFolder())) {
        cbLang_->addItem(FromLocal8Bit(language));
    }
    cbLang_->setCurrentIndex(cbLang_->findText(text, Qt::MatchExactly));
    cbLang_->setEditText(text);
}

void TfrmSettings::cbLangChange(const QString& text)
{
    SetCurrentLanguage(ToLocal8Bit(text));
    TranslateForm(this);
    TranslateAllForms();
    FitToTexts();
}

} // namespace pelmora
