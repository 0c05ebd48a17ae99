#include "gui/shell/qt_hand_over.h"

#include <QMessageBox>
#include <QObject>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/gui/modal_dialog.h"

namespace pelmora {
namespace {

// A worker that hands over a step that fails, then one that works.
struct FailingThenWorkingSteps {
    explicit FailingThenWorkingSteps(QtHandOver& handOver)
        : thread([this, &handOver] {
              firstRan = handOver.Synchronize([] { throw std::runtime_error("Unable to write"); });
              secondRan = handOver.Synchronize([this] { secondStepRan = true; });
              done = true;
              handOver.Notify();
          })
    {
    }
    ~FailingThenWorkingSteps() { thread.join(); }
    FailingThenWorkingSteps(const FailingThenWorkingSteps&) = delete;
    FailingThenWorkingSteps& operator=(const FailingThenWorkingSteps&) = delete;

    std::atomic<bool> firstRan{false};
    std::atomic<bool> secondRan{false};
    std::atomic<bool> secondStepRan{false};
    std::atomic<bool> done{false};
    std::thread thread;
};

TEST(QtHandOver, AFailingStepIsToldWithItsMessageAndTheWorkerGoesOn)
{
    QObject context;
    std::vector<std::string> told;
    QtHandOver handOver(&context, [&told](const std::string& message) { told.push_back(message); });
    {
        FailingThenWorkingSteps worker(handOver);
        handOver.ServeUntil([&worker] { return worker.done.load(); });
        EXPECT_TRUE(worker.firstRan);
        EXPECT_TRUE(worker.secondRan);
        EXPECT_TRUE(worker.secondStepRan);
    }
    EXPECT_EQ(told, std::vector<std::string>{"Unable to write"});
}

TEST(QtHandOver, ByDefaultTheMessageGoesToAnErrorBox)
{
    QObject context;
    QtHandOver handOver(&context);
    QString shown;
    test::WhenModalOpens([&shown](QWidget& window) {
        if (auto* box = qobject_cast<QMessageBox*>(&window)) {
            shown = box->text();
        }
        window.close();
    });
    FailingThenWorkingSteps worker(handOver);
    handOver.ServeUntil([&worker] { return worker.done.load(); });
    EXPECT_EQ(shown, QStringLiteral("Unable to write"));
    EXPECT_TRUE(worker.secondStepRan);
}

} // namespace
} // namespace pelmora
