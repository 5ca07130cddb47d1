#include "bench/datapath/LoopWait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// The nested loops running now, innermost last. A wake quits them all: each looks at its
// condition and either returns or sleeps again.
std::vector<QEventLoop*>& runningLoops() {
    static std::vector<QEventLoop*> loops;
    return loops;
}

} // namespace

namespace LoopWait {

bool until(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline = timeoutMs < 0
                                        ? QDeadlineTimer(QDeadlineTimer::Forever)
                                        : QDeadlineTimer(timeoutMs, Qt::PreciseTimer);
    bool first = true;
    for (;;) {
        if (done())
            return true;
        if (!first && deadline.hasExpired())
            return false;
        first = false;
        QEventLoop loop;
        QTimer timer;
        if (!deadline.isForever()) {
            timer.setSingleShot(true);
            timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
            timer.start(static_cast<int>(deadline.remainingTime()));
        }
        runningLoops().push_back(&loop);
        const int result = loop.exec();
        auto& loops = runningLoops();
        loops.erase(std::find(loops.begin(), loops.end(), &loop));
        // The application is quitting: a nested loop cannot run any more, so waiting ends.
        if (result < 0)
            return done();
    }
}

void wake() {
    for (QEventLoop* loop : runningLoops())
        loop->quit();
}

} // namespace LoopWait
