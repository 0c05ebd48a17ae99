#include "gui/app/pelmora_application.h"

#include <QMessageBox>

#include <exception>

namespace pelmora {

bool PelmoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, applicationName(), QString::fromLocal8Bit(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, applicationName(), QStringLiteral("Unknown error."));
    }
    return false;
}

} // namespace pelmora
