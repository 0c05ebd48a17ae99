#pragma once

#include <functional>

class QWidget;

namespace pelmora::test {

// Runs `step` from the event loop on the next modal window that opens above
// the one open now, so a test can work a dialog that the code under test
// shows with exec(). The step must close that window. Fails the test when no
// such window opens within `timeoutMs`.
void WhenModalOpens(std::function<void(QWidget& window)> step, int timeoutMs = 5000);

} // namespace pelmora::test
