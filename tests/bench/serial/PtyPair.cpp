#include "tests/bench/serial/PtyPair.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) return;
    m_slavePath = QString::fromLocal8Bit(name);
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    closeMaster();
    if (m_slave >= 0) close(m_slave);
}

bool PtyPair::linkAs(const QString& folder, int portNo) const {
    const QString link = folder + QStringLiteral("/com%1").arg(portNo);
    QFile::remove(link);
    return QFile::link(m_slavePath, link);
}

void PtyPair::closeMaster() {
    if (m_master >= 0) close(m_master);
    m_master = -1;
}

bool PtyPair::send(const QByteArray& bytes, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(m_master, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd out = {m_master, POLLOUT, 0};
        if (deadline.hasExpired()) return false;
        poll(&out, 1, static_cast<int>(std::min<qint64>(deadline.remainingTime(), 100)));
    }
    return true;
}

QByteArray PtyPair::receive(int count, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QByteArray bytes;
    char buf[4096];
    while (bytes.size() < count && !deadline.hasExpired()) {
        pollfd in = {m_master, POLLIN, 0};
        if (poll(&in, 1, static_cast<int>(std::min<qint64>(deadline.remainingTime(), 100))) <= 0)
            continue;
        const ssize_t n =
            read(m_master, buf, std::min<qsizetype>(sizeof buf, count - bytes.size()));
        if (n > 0)
            bytes.append(buf, n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return bytes;
}

QByteArray PtyPair::receiveFor(int ms) {
    QDeadlineTimer deadline(ms);
    QByteArray bytes;
    char buf[4096];
    while (!deadline.hasExpired()) {
        pollfd in = {m_master, POLLIN, 0};
        if (poll(&in, 1, static_cast<int>(deadline.remainingTime())) <= 0) continue;
        const ssize_t n = read(m_master, buf, sizeof buf);
        if (n > 0) bytes.append(buf, n);
    }
    return bytes;
}
