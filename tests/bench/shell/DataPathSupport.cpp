#include "DataPathSupport.h"

#include "bench/net/cmSocket.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/ui/TcmIPEdit.h"
#include "tests/support/TestWait.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

PlainSocket DataPathTest::connectClient() {
    PlainSocket listener = PlainSocket::listener();
    form->ComboBox_Protocol->setCurrentIndex(2);
    form->cmIPEdit_Local->SetIPstr("127.0.0.1");
    form->Edit_PortNUM->setText(QString::number(listener.localPort()));
    form->cmBtn_NetConnect->click();
    EXPECT_TRUE(waitUntil([&] { return form->MySocket->Active(); }));
    return listener.accept();
}

void DataPathTest::openUdpTo(const PlainSocket& peer) {
    form->ComboBox_Protocol->setCurrentIndex(0);
    form->cmIPEdit_Local->SetIPstr("127.0.0.1");
    form->Edit_PortNUM->setText("0");
    form->cmBtn_NetConnect->click();
    EXPECT_TRUE(waitUntil([&] { return form->MySocket->Active(); }));
    form->cmIPEdit_Target->SetIPstr("127.0.0.1");
    form->Edit_PortNUM2->setText(QString::number(peer.localPort()));
}

void DataPathTest::openSerial() {
    ASSERT_TRUE(pty.isValid());
    ASSERT_TRUE(pty.linkAs(portFolder, 2));
    form->cbSerial->setCurrentIndex(1);
    form->cmBtn_NetConnect_L->click();
    ASSERT_TRUE(form->QxCommDevice1->Active());
}

QString DataPathTest::writeFile(const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return path;
}

QByteArray DataPathTest::readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString DataPathTest::shown(QPlainTextEdit* box) {
    QCoreApplication::processEvents();
    return box->toPlainText();
}

std::vector<QByteArray> datagrams(const PlainSocket& socket) {
    std::vector<QByteArray> all;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(socket.fd(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0)
            return all;
        all.emplace_back(buffer, static_cast<int>(n));
    }
}

WhileSending::WhileSending(std::function<bool()> step, std::function<void()> stop,
                           int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    m_timer.setInterval(2);
    QObject::connect(&m_timer, &QTimer::timeout, [this, step, stop, deadline] {
        if (step()) {
            m_timer.stop();
        } else if (deadline.hasExpired()) {
            m_timer.stop();
            ADD_FAILURE() << "the send loop did not get where the test expected";
            stop();
        }
    });
    m_timer.start();
}

SlowReader::SlowReader(int fd, qsizetype expected, int pieceBytes, int pauseUs, int idleMs) {
    m_thread = std::thread([this, fd, expected, pieceBytes, pauseUs, idleMs] {
        std::vector<char> piece(static_cast<std::size_t>(pieceBytes));
        while (m_bytes.size() < expected) {
            pollfd in = {fd, POLLIN, 0};
            if (::poll(&in, 1, idleMs) <= 0)
                break;
            const ssize_t n = ::read(fd, piece.data(), piece.size());
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                break;
            if (n > 0)
                m_bytes.append(piece.data(), static_cast<int>(n));
            if (pauseUs > 0)
                ::usleep(static_cast<useconds_t>(pauseUs));
        }
        m_done = true;
    });
}

SlowReader::~SlowReader() {
    if (m_thread.joinable())
        m_thread.join();
}

QByteArray SlowReader::finish() {
    waitUntil([this] { return done(); }, 60000);
    if (m_thread.joinable())
        m_thread.join();
    return m_bytes;
}

double processCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
