// Pelmora: the tray program.
#include <QAction>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include "core/app/application_title.h"
#include "core/base/raise_descriptor_limit.h"
#include "core/config/autostart_entry.h"
#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/net/privileges.h"
#include "gui/app/about_command.h"
#include "gui/app/instance_guard.h"
#include "gui/app/pelmora_application.h"
#include "gui/help/help_desk.h"
#include "gui/i18n/form_translation.h"
#include "gui/shell/log_window.h"
#include "gui/shell/main_form.h"

namespace {

// On Wayland a window cannot place itself, and the pop-up must sit by the
// notification area: prefer X11 through XWayland when both are there.
void PreferX11()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Before Qt starts its threads, so that none starts with more than it needs.
    pelmora::DropPrivilegesExceptNetRaw();
    pelmora::RaiseDescriptorLimit();
    PreferX11();
    pelmora::PelmoraApplication app(argc, argv);
    const QString title = QString::fromStdString(
        pelmora::ApplicationTitle(QCoreApplication::applicationFilePath().toStdString()));
    QCoreApplication::setApplicationName(title);
    // Ties the windows to the installed .desktop file: its name and icon in
    // task switchers, and the program's identity under Wayland.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(pelmora::DesktopAppId()));
    QApplication::setQuitOnLastWindowClosed(false);

    pelmora::InstanceGuard guard(title);
    if (!guard.IsFirstInstance()) {
        guard.ActivatePreviousInstance();
        return 0;
    }

    pelmora::HelpDesk help;
    // The real probes; the windows know them only as the worker's prober.
    pelmora::ProbeEngine prober;
    pelmora::TfrmMain frmMain(prober);
    pelmora::TfrmLog frmLog;
    pelmora::AboutCommand about(&frmMain);
    QObject::connect(frmMain.AboutAction(), &QAction::triggered, &frmMain,
                     [&about] { about.miAboutClick(); });
    frmMain.FormCreate(&frmLog);
    pelmora::LoadLanguageNameAndRetranslate();
    guard.OnActivationRequest([&frmMain] { frmMain.BringToFront(); });
    return QApplication::exec();
}
