// A bare Qt tray program: one icon with a one-item menu and nothing else.
// bench/tray_startup.sh measures Pelmora's start-up time and memory against it.
// With --draw-menu it lays out and draws its menu once off screen, so the font
// and text-shaping libraries are in memory, as in any program that has shown
// a line of text.
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QPixmap picture(16, 16);
    picture.fill(Qt::darkBlue);
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &app, &QApplication::quit);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setContextMenu(&menu);
    tray.show();
    if (QCoreApplication::arguments().contains(QStringLiteral("--draw-menu"))) {
        menu.adjustSize();
        QPixmap canvas(menu.size());
        menu.render(&canvas);
    }
    return QApplication::exec();
}
