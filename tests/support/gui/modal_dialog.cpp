#include "modal_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace pelmora::test {

void WhenModalOpens(std::function<void(QWidget& window)> step, int timeoutMs)
{
    constexpr int kPollMs = 10;
    QPointer<QWidget> below = QApplication::activeModalWidget();
    auto* poll = new QTimer(qApp);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(
        poll, &QTimer::timeout, poll, [poll, below, waited, timeoutMs, step = std::move(step)] {
            QWidget* top = QApplication::activeModalWidget();
            if (top != nullptr && top != below.data() && top->isVisible()) {
                poll->stop();
                poll->deleteLater();
                step(*top);
            } else if (waited->elapsed() > timeoutMs) {
                poll->stop();
                poll->deleteLater();
                ADD_FAILURE() << "no modal window opened within " << timeoutMs << " ms";
            }
        });
    poll->start(kPollMs);
}

} // namespace pelmora::test
