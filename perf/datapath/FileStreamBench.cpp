// File streaming: a 100 MB file streamed by the network pane (interval 0) to a TCP reader that
// takes everything as fast as it can, next to socat sending the same file to the same kind of
// reader in the same run. Prints both rates and their ratio; the best of three rounds counts.
#include "BenchWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QToolButton>

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qsizetype FileBytes = 100LL * 1000 * 1000;
constexpr int Rounds = 3;

// Accepts one connection and reads it to its end; `done` once everything came.
class Reader {
public:
    Reader() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 1);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            std::vector<char> buffer(1 << 20);
            for (;;) {
                const ssize_t n = ::read(fd, buffer.data(), buffer.size());
                if (n <= 0)
                    break;
                received += n;
            }
            ::close(fd);
            done = true;
        });
    }
    ~Reader() {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    std::uint16_t port = 0;
    std::atomic<qsizetype> received = 0;
    std::atomic<bool> done = false;

private:
    int m_listener = -1;
    std::thread m_thread;
};

double benchRate(const QString& path) {
    BenchWindow bench;
    TFormNet& form = *bench.form;
    bench.prompts.setNextFileName(path);
    form.CheckBox_FileInput->setChecked(true);
    form.Edit_SendInterval->setText(QStringLiteral("0"));
    Reader reader;
    bench.connectTo(reader.port);
    QElapsedTimer clock;
    clock.start();
    form.Btn_SendClick(); // streams the whole file
    form.cmBtn_NetConnect->click(); // closing ends the stream for the reader
    runUntil([&] { return reader.done.load(); }, 600000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (reader.received != FileBytes)
        std::printf("  tavrin delivered %lld of %lld bytes\n",
                    static_cast<long long>(reader.received), static_cast<long long>(FileBytes));
    return reader.received / 1e6 / seconds;
}

double socatRate(const QString& path) {
    Reader reader;
    QElapsedTimer clock;
    clock.start();
    QProcess socat;
    socat.start(QStringLiteral("socat"),
                {QStringLiteral("-u"), QStringLiteral("FILE:") + path,
                 QStringLiteral("TCP:127.0.0.1:%1").arg(reader.port)});
    socat.waitForFinished(-1);
    while (!reader.done)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const double seconds = clock.nsecsElapsed() / 1e9;
    return reader.received / 1e6 / seconds;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("stream.bin"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(textBytes(FileBytes));
    }
    double tavrin = 0;
    double socat = 0;
    for (int round = 0; round < Rounds; ++round) {
        tavrin = std::max(tavrin, benchRate(path));
        socat = std::max(socat, socatRate(path));
    }
    std::printf("file streaming, 100 MB over TCP loopback: tavrin %.0f MB/s, socat %.0f MB/s, "
                "ratio %.2f\n",
                tavrin, socat, tavrin / socat);
    return 0;
}
