#include "BenchWindow.h"

#include "bench/net/cmSocket.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/ui/TcmIPEdit.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QToolButton>

#include <cerrno>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

BenchWindow::BenchWindow() {
    const QString ports = folder.filePath(QStringLiteral("comports"));
    QDir().mkpath(ports);
    qputenv("COMPORTS_DIR", QFile::encodeName(ports));
    form = std::make_unique<TFormNet>(
        BenchServices{prompts, shell, QString(), folder.filePath(QStringLiteral("tavrin.cfg"))});
    form->show();
    QCoreApplication::processEvents();
}

BenchWindow::~BenchWindow() {
    prompts.setNextAnswer(Prompts::IdYes);
    form->close();
    form.reset();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

std::uint16_t BenchWindow::listen() {
    form->ComboBox_Protocol->setCurrentIndex(1);
    form->cmIPEdit_Local->SetIPstr(QStringLiteral("127.0.0.1"));
    form->Edit_PortNUM->setText(QStringLiteral("0"));
    form->cmBtn_NetConnect->click();
    runUntil([this] { return form->MySocket->Active(); }, 5000);
    return static_cast<std::uint16_t>(form->MySocket->LocalPort());
}

void BenchWindow::connectTo(std::uint16_t port) {
    form->ComboBox_Protocol->setCurrentIndex(2);
    form->cmIPEdit_Local->SetIPstr(QStringLiteral("127.0.0.1"));
    form->Edit_PortNUM->setText(QString::number(port));
    form->cmBtn_NetConnect->click();
    runUntil([this] { return form->MySocket->Active(); }, 5000);
}

int BenchWindow::openSerial() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        return -1;
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    const QString link = folder.filePath(QStringLiteral("comports/com2"));
    QFile::link(QString::fromLocal8Bit(name), link);
    form->cbSerial->setCurrentIndex(1);
    form->cmBtn_NetConnect_L->click();
    return form->QxCommDevice1->Active() ? m_master : -1;
}

StallMeter::StallMeter() {
    m_clock.start();
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        if (m_last > 0)
            m_worstNs = std::max(m_worstNs, now - m_last - 10'000'000);
        m_last = now;
    });
    m_timer.start();
}

bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    // An event loop like the program's, looking at the condition every few milliseconds.
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    check.start(5);
    if (!done())
        loop.exec();
    return done();
}

double peakMemoryMB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

QByteArray textBytes(qsizetype count) {
    QByteArray bytes(count, '\n');
    for (qsizetype i = 0; i < count; ++i)
        if (i % 64 != 63)
            bytes[i] = static_cast<char>('a' + (i / 64 + i % 64) % 26);
    return bytes;
}

bool writeAll(int fd, const char* bytes, qsizetype count) {
    qsizetype done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, bytes + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd out = {fd, POLLOUT, 0};
            ::poll(&out, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}
