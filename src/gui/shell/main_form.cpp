#include "gui/shell/main_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSystemTrayIcon>

#include <utility>

#include "core/base/app_paths.h"
#include "core/config/host_lines.h"
#include "core/i18n/languages.h"
#include "core/shell/host_item_text.h"
#include "core/shell/popup_placement.h"
#include "gui/config/error_box.h"
#include "gui/config/font_conversion.h"
#include "gui/config/local_text.h"
#include "gui/help/help_context.h"
#include "gui/help/help_desk.h"
#include "gui/i18n/form_translation.h"
#include "gui/shell/app_timer.h"
#include "gui/shell/desktop_notifier.h"
#include "gui/shell/image_list.h"
#include "gui/shell/log_window.h"
#include "gui/shell/popup_geometry.h"
#include "gui/shell/settings_command.h"
#include "gui/shell/skin.h"
#include "gui/shell/start_stop_item.h"
#include "gui/shell/tray_status.h"
#include "gui/shell/tray_wait.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;

QString Local(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QString Message(const char* key)
{
    return Local(MessageText(key));
}

} // namespace

TfrmMain::TfrmMain(CycleProber& prober)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      trmAsk_(new AppTimer(this, 3000, true)), tmrHide_(new AppTimer(this, 5000, false)),
      memReport_(new QPlainTextEdit(this)), trayAvailable_(&QSystemTrayIcon::isSystemTrayAvailable),
      trayPatience_(30s), tray_(hosts_, *this), settingsCommand_(hosts_, settings_, *this),
      prober_(prober), handOver_(this)
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(294, 188);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    memReport_->setObjectName(QStringLiteral("memReport"));
    memReport_->setReadOnly(true);
    memReport_->setFrameShape(QFrame::NoFrame);
    memReport_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memReport_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memReport_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Transparent, so the balloon's own background shows through.
    memReport_->viewport()->setAutoFillBackground(false);
    memReport_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    memReport_->viewport()->installEventFilter(this);
    SetHelpContext(this, HelpContext::Notices);
    SetHelpContext(memReport_, HelpContext::Notices);

    connect(trmAsk_, &AppTimer::Tick, this, &TfrmMain::trmAskTimer);
    connect(tmrHide_, &AppTimer::Tick, this, &TfrmMain::tmrHideTimer);

    hosts_.SetObserver(this);
    BuildMenu();
    BuildTray();
}

TfrmMain::~TfrmMain()
{
    // The worker may be in the middle of a probe or waiting for a hand-over:
    // stop it before anything it reports to goes away.
    if (worker_) {
        worker_->Stop();
    }
    hosts_.SetObserver(nullptr);
}

void TfrmMain::BuildMenu()
{
    pmMain_ = new QMenu(this);
    pmMain_->setObjectName(QStringLiteral("pmMain"));
    pmMain_->setToolTipsVisible(true);

    miStart_ = new pelmora::StartStopAction(pmMain_);
    miStart_->setObjectName(QStringLiteral("miStart"));
    miStart_->setText(QStringLiteral("Stop"));
    miStart_->setIcon(MainImageIcon(MainImage::Stop));
    connect(miStart_, &QAction::triggered, this, &TfrmMain::miStartClick);
    pmMain_->addAction(miStart_);
    pmMain_->setDefaultAction(miStart_);

    miHoststate_ =
        pmMain_->addMenu(MainImageIcon(MainImage::HostsState), QStringLiteral("Hosts state "));
    miHoststate_->setObjectName(QStringLiteral("miHoststate"));
    miHoststate_->menuAction()->setObjectName(QStringLiteral("miHoststate"));
    miHoststate_->setToolTipsVisible(true);

    miLog_ = pmMain_->addAction(MainImageIcon(MainImage::Log), QStringLiteral("Log"), this,
                                &TfrmMain::miLogClick);
    miLog_->setObjectName(QStringLiteral("miLog"));

    miSettings_ = pmMain_->addAction(MainImageIcon(MainImage::Settings), QStringLiteral("Settings"),
                                     this, &TfrmMain::miSettingsClick);
    miSettings_->setObjectName(QStringLiteral("miSettings"));

    miHelp_ = pmMain_->addAction(MainImageIcon(MainImage::Help), QStringLiteral("Help"), this,
                                 &TfrmMain::miHelpClick);
    miHelp_->setObjectName(QStringLiteral("miHelp"));
    SetHelpContext(miHelp_, HelpContext::HelpItem);

    // The About box belongs to the application frame, which connects it.
    miAbout_ = pmMain_->addAction(MainImageIcon(MainImage::About), QStringLiteral("About"));
    miAbout_->setObjectName(QStringLiteral("miAbout"));

    pmMain_->addSeparator()->setObjectName(QStringLiteral("N1"));
    miQuit_ = pmMain_->addAction(QStringLiteral("Quit"), this, &TfrmMain::miQuitClick);
    miQuit_->setObjectName(QStringLiteral("miQuit"));
}

void TfrmMain::BuildTray()
{
    spTrayIcon1_ = new QSystemTrayIcon(TrayIconPicture(), this);
    spTrayIcon1_->setObjectName(QStringLiteral("spTrayIcon1"));
    spTrayIcon1_->setContextMenu(pmMain_);
    trayStatus_ = new TrayStatus(spTrayIcon1_);
    connect(spTrayIcon1_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // A double-click runs the menu's default item; a single click
                // does nothing.
                if (reason == QSystemTrayIcon::DoubleClick) {
                    pmMain_->defaultAction()->trigger();
                }
            });
}

void TfrmMain::FormCreate(TfrmLog* log)
{
    frmLog_ = log;
    LoadSkin(SkinFilePath());
    const Settings loaded = LoadSettings(SettingsFilePath());
    ReplaceHostList(hosts_, loaded.hosts);
    ApplySettings(loaded);

    auto* trayWait = new TrayWait(
        this, {trayAvailable_, [this] { EnterTray(); }, [this] { FallBackToLogWindow(); }}, 1s,
        trayPatience_);
    trayWait->Start();

    CheckHostsLinks links{hosts_, prober_, handOver_, tray_, MessageText};
    worker_ = std::make_unique<TCheckHosts>(std::move(links));
    worker_->SetParallelLimit(settings_.parallelChecks);
    worker_->SetAttempts(settings_.attempts);
    tray_.SetWorker(worker_.get());
    settingsCommand_.SetWorker(worker_.get());
    worker_->Wake();
}

void TfrmMain::SetTrayWatch(std::function<bool()> available, std::chrono::milliseconds patience)
{
    trayAvailable_ = std::move(available);
    trayPatience_ = patience;
}

void TfrmMain::EnterTray()
{
    spTrayIcon1_->show();
    frmLog_->SetMenu(nullptr);
}

// Without a notification area the program would be unreachable: the log
// window carries the tray menu until one appears.
void TfrmMain::FallBackToLogWindow()
{
    frmLog_->SetMenu(pmMain_);
    frmLog_->AppendLine(
        QStringLiteral("No notification area was found: the tray menu is on this window instead."));
    frmLog_->ShowLog();
}

void TfrmMain::SetFont(const PopUpFont& font)
{
    settings_.font = font;
    memReport_->setFont(ToQFont(font));
    QPalette palette = memReport_->palette();
    palette.setColor(QPalette::Text, ToQColor(font.color));
    memReport_->setPalette(palette);
}

void TfrmMain::ApplySettings(const Settings& settings)
{
    settings_ = settings;
    settings_.hosts.clear(); // the host list holds them
    SetFont(settings.font);
    tmrHide_->SetInterval(settings.popUpInterval);
    trmAsk_->SetInterval(settings.checkPeriod);
    tray_.SetReportStyle(settings.reportStyle);
    // Read before the worker exists at start; from then on each change
    // counts from the next cycle.
    if (worker_) {
        worker_->SetParallelLimit(settings.parallelChecks);
        worker_->SetAttempts(settings.attempts);
    }
}

void TfrmMain::AppendLogLine(const std::string& line)
{
    if (frmLog_ != nullptr) {
        frmLog_->AppendLine(Local(line));
    }
}

void TfrmMain::PresentReport(const std::string& text, ReportChannels channels)
{
    if (channels.notification) {
        if (notifier_ == nullptr) {
            notifier_ = new DesktopNotifier(this);
        }
        notifier_->Show(Local(text), tmrHide_->Interval());
    }
    if (!channels.balloon) {
        return;
    }
    memReport_->setPlainText(Local(text));
    PlacePopUp();
    show();
    raise();
    tmrHide_->SetEnabled(true);
}

// The balloon is drawn by the tray's corner of the screen; that only makes
// sense while an icon sits in a tray with a place of its own there (an
// XEmbed tray on X11). A D-Bus tray reports no place, and Wayland lets no
// window choose where it stands.
bool TfrmMain::BalloonByTray() const
{
    return QGuiApplication::platformName() != QLatin1String("wayland") &&
           spTrayIcon1_->isVisible() && !spTrayIcon1_->geometry().isEmpty();
}

void TfrmMain::PlacePopUp()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    const int lines = PopUpLineCount(ToLocal8Bit(memReport_->toPlainText()));
    const int charHeight = PopUpCharHeight(memReport_->font().pointSizeF(), dpi);
    const PopUpPlacement placement = pelmora::PlacePopUp(lines, charHeight, FromQRect(screenRect));
    // Scroll bars only where the window had to be cut to stay on the screen.
    memReport_->setVerticalScrollBarPolicy(placement.cut ? Qt::ScrollBarAsNeeded
                                                         : Qt::ScrollBarAlwaysOff);
    setGeometry(ToQRect(placement.window));
    memReport_->setGeometry(ToQRect(placement.memo));
    setMask(PopUpRegion(placement.window.width, placement.window.height));
    update();
}

void TfrmMain::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    PaintPopUpOutline(painter, width(), height());
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memReport_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        memReportClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::memReportClick()
{
    tmrHide_->SetEnabled(false);
    hide();
}

void TfrmMain::tmrHideTimer()
{
    tmrHide_->SetEnabled(false);
    hide();
}

bool TfrmMain::IsRunning() const
{
    return tray_.IsRunning();
}

void TfrmMain::SetStartImage(MainImage image)
{
    miStart_->setIcon(MainImageIcon(image));
    trayStatus_->SetRunning(image != MainImage::Start);
}

void TfrmMain::SetCheckTimerEnabled(bool enabled)
{
    trmAsk_->SetEnabled(enabled);
}

void TfrmMain::ShowStartStop(const StartStopLook& item)
{
    SetStartImage(item.image);
    miStart_->setText(Message(item.captionKey));
}

void TfrmMain::miStartClick()
{
    tray_.StartStop();
}

void TfrmMain::trmAskTimer()
{
    tray_.CheckTick();
}

void TfrmMain::miSettingsClick()
{
    settingsCommand_.Run();
}

std::optional<SettingsChoice> TfrmMain::EditSettings(const SettingsChoice& values)
{
    return ShowSettingsDialog(*this, values);
}

void TfrmMain::Retranslate()
{
    TranslateAllForms();
}

void TfrmMain::ShowError(const std::string& message)
{
    ShowErrorBox(nullptr, message);
}

void TfrmMain::miLogClick()
{
    frmLog_->ShowLog();
}

void TfrmMain::miHelpClick()
{
    ShowHelp(HelpContext::HelpItem);
}

void TfrmMain::miQuitClick()
{
    QApplication::quit();
}

void TfrmMain::BringToFront()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    } else if (isVisible()) {
        raise();
    }
}

void TfrmMain::HostListReset()
{
    miHoststate_->clear();
    trayStatus_->Reset();
}

void TfrmMain::HostAppended(std::size_t index)
{
    const HostEntry* entry = hosts_.At(index);
    QAction* item = miHoststate_->addAction(MainImageIcon(HostStateImage(entry->State())),
                                            Local(HostItemText(*entry)));
    item->setToolTip(Local(entry->Proxy()));
    trayStatus_->Appended(entry->State());
}

void TfrmMain::HostStateChanged(std::size_t index)
{
    const QList<QAction*> items = miHoststate_->actions();
    if (index < static_cast<std::size_t>(items.size())) {
        items[static_cast<qsizetype>(index)]->setIcon(
            MainImageIcon(HostStateImage(hosts_.At(index)->State())));
    }
    trayStatus_->Changed(index, hosts_.At(index)->State());
}

void TfrmMain::HostRoundTripChanged(std::size_t index)
{
    const QList<QAction*> items = miHoststate_->actions();
    if (index < static_cast<std::size_t>(items.size())) {
        items[static_cast<qsizetype>(index)]->setText(Local(HostItemText(*hosts_.At(index))));
    }
}

} // namespace pelmora
