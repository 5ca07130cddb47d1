// A receive flood into each pane: 50 MB pushed by a plain sender over TCP loopback into the
// network pane and through a pseudo-terminal into the serial pane, with hexadecimal display on
// and off. Prints the rate at which the data was counted and shown, the peak memory and the
// longest stall of the event loop (the worst lateness of a 10 ms timer). Each case runs in a
// process of its own so that the peak memory is that case's.
#include "BenchWindow.h"

#include "bench/net/cmSocket.h"
#include "bench/serial/Qxcommdevice.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProcess>

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qsizetype FloodBytes = 50LL * 1000 * 1000;

int connectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return fd;
}

int runCase(const QString& name) {
    const bool serial = name.startsWith(QLatin1String("serial"));
    const bool hex = name.endsWith(QLatin1String("hex"));
    BenchWindow bench;
    TFormNet& form = *bench.form;
    form.CheckBox_ReceiveShowHex->setChecked(hex);
    form.CheckBox_ReceiveShowHex_L->setChecked(hex);
    const QByteArray data = textBytes(FloodBytes);

    int fd = -1;
    if (serial) {
        fd = bench.openSerial();
    } else {
        const std::uint16_t port = bench.listen();
        fd = connectTo(port);
    }
    if (fd < 0) {
        std::printf("%-12s could not open its transport\n", qPrintable(name));
        return 1;
    }
    StallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    std::thread sender([&] { writeAll(fd, data.constData(), data.size()); });
    const std::int32_t& counted = serial ? form.SerialRecvCount : form.NetRecvCount;
    // Shown: everything counted, and the box has stopped growing (its last growth is the end).
    QPlainTextEdit* box = serial ? form.TextRecv_L : form.TextRecv;
    int characters = 0;
    qint64 grewAt = 0;
    const bool all = runUntil(
        [&] {
            const int now = box->document()->characterCount();
            if (now != characters) {
                characters = now;
                grewAt = clock.nsecsElapsed();
            }
            return counted >= FloodBytes && clock.nsecsElapsed() - grewAt > 300'000'000;
        },
        600000);
    const double seconds = grewAt / 1e9;
    sender.join();
    if (!serial)
        ::close(fd);
    std::printf("%-12s %s: %.1f MB in %.2f s = %6.1f MB/s shown, %lld characters in the box, "
                "peak memory %.0f MB, longest stall %.1f ms\n",
                qPrintable(name), all ? "complete" : "INCOMPLETE", counted / 1e6, seconds,
                counted / 1e6 / seconds,
                static_cast<long long>(box->document()->characterCount()), peakMemoryMB(),
                stalls.worstMs());
    return all ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1) {
        QApplication app(argc, argv);
        return runCase(QString::fromLocal8Bit(argv[1]));
    }
    int failures = 0;
    for (const char* name : {"network-text", "network-hex", "serial-text", "serial-hex"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QString::fromLocal8Bit(argv[0]), {QString::fromLatin1(name)});
        child.waitForFinished(-1);
        failures += child.exitCode() != 0;
    }
    return failures;
}
