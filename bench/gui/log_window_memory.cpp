// Memory of the event log window as lines arrive: the heap each line costs
// while the log fills, and the heap once it is full and drops old lines, so
// a program left running for months with a flapping host stays bounded.
//
//   build/bin/log_window_memory [lines]   (default 100000)
#include <QApplication>
#include <QString>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>

#include "gui/shell/log_window.h"

namespace {

long long HeapInUse()
{
    return static_cast<long long>(mallinfo2().uordblks);
}

QString Line(int i)
{
    return QStringLiteral("13:%1:%2. Host stopped responding: 192.0.2.%3")
        .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 250 + 1);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int limit = pelmora::LogBound::kDefaultLineLimit;

    pelmora::TfrmLog log;
    log.ShowLog();
    QApplication::processEvents();
    const long long before = HeapInUse();
    long long atLimit = before;
    long long peak = before;
    for (int i = 0; i < lines; ++i) {
        log.AppendLine(Line(i));
        if (i % 1000 == 999) {
            QApplication::processEvents();
            const long long now = HeapInUse();
            peak = now > peak ? now : peak;
            if (i + 1 == limit) {
                atLimit = now;
            }
        }
    }
    const long long after = HeapInUse();
    std::printf("line limit                 %d\n", limit);
    std::printf("lines appended             %d (dropped %d)\n", lines, log.DroppedLines());
    std::printf("heap per line while filling %.0f bytes\n",
                static_cast<double>(atLimit - before) / limit);
    std::printf("heap of a full log         %lld KiB\n", (atLimit - before) / 1024);
    std::printf("heap after all lines       %lld KiB\n", (after - before) / 1024);
    std::printf("peak heap                  %lld KiB\n", (peak - before) / 1024);
    return 0;
}
