// CPU time of the whole process while a send loop waits out a 10 s interval, the window shown:
// once with the serial port closed (the wait alone), once with it open, when the pane's 10 ms
// serial poll runs as well.
#include "BenchWindow.h"

#include <QApplication>

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
    measure(*bench.form, "serial port closed");
    if (bench.openSerial() < 0)
        return 1;
    measure(*bench.form, "serial port open, 10 ms poll running");
    return 0;
}
