#include "gui/config/error_box.h"

#include <QApplication>
#include <QMessageBox>

#include "gui/config/local_text.h"

namespace pelmora {

void ShowErrorBox(QWidget* owner, std::string_view message)
{
    QMessageBox::critical(owner, QApplication::applicationName(), FromLocal8Bit(message));
}

} // namespace pelmora
