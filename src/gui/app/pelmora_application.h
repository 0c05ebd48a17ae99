#pragma once

#include <QApplication>

namespace pelmora {

// Shows an error that escapes any handler in an error box with its message;
// the program goes on.
class PelmoraApplication final : public QApplication {
public:
    PelmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace pelmora
