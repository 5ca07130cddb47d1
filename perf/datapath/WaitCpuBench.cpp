// CPU time of the whole process while a send loop waits out a 10 s interval, the window shown:
// once as the program runs (its 10 ms serial poll going on meanwhile), once with the poll
// stopped, which leaves the wait's own cost.
#include "BenchWindow.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

void measure(TFormNet& form, const char* what) {
    bool sending = true;
    const double before = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    form.WaitInterval(10000, sending);
    std::printf("10 s interval wait, %s: %.2f s elapsed, %.3f s of CPU\n", what,
                clock.nsecsElapsed() / 1e9, cpuSeconds() - before);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchWindow bench;
    measure(*bench.form, "serial poll running");
    bench.form->Timer1->stop();
    measure(*bench.form, "serial poll stopped");
    return 0;
}
