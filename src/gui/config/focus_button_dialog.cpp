#include "gui/config/focus_button_dialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace pelmora {

FocusButtonDialog::FocusButtonDialog(QWidget* owner, QSize designedClientSize)
    : QDialog(owner), designedClientSize_(designedClientSize)
{
}

QPushButton* FocusButtonDialog::AddButton(const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void FocusButtonDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        }
        event->accept();
        return;
    case Qt::Key_Escape: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}

void FocusButtonDialog::FitSize()
{
    // The designed size counts pixels at 96 dots per inch, like the fonts.
    const double scale = logicalDpiY() / 96.0;
    const int designedWidth = static_cast<int>(std::lround(designedClientSize_.width() * scale));
    const int designedHeight = static_cast<int>(std::lround(designedClientSize_.height() * scale));

    // Layouts on hidden pages are not told of changed texts and fonts, and
    // keep the sizes they had.
    for (QWidget* control : findChildren<QWidget*>()) {
        control->updateGeometry();
    }
    for (QLayout* part : findChildren<QLayout*>()) {
        part->invalidate();
    }
    QLayout* contents = layout();
    contents->invalidate();
    contents->activate();
    const int width = std::max(designedWidth, contents->totalMinimumSize().width());
    const int needed = contents->hasHeightForWidth() ? contents->totalHeightForWidth(width)
                                                     : contents->totalSizeHint().height();
    setFixedSize(width, std::max({designedHeight, needed, contents->totalMinimumSize().height()}));
}

void FocusButtonDialog::CentreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect placed(QPoint(0, 0), size());
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
}

} // namespace pelmora
