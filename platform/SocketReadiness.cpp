#include "platform/SocketReadiness.h"

#include "platform/WinsockErrors.h"

#include <QSocketNotifier>

#include <cerrno>
#include <sys/socket.h>
#include <utility>

void SocketReadiness::Release::operator()(SocketReadiness* watcher) const {
    watcher->stop();
    if (watcher->m_reporting > 0)
        watcher->deleteLater();
    else
        delete watcher;
}

SocketReadiness::Handle SocketReadiness::watch(int socket) {
    return Handle(new SocketReadiness(socket));
}

SocketReadiness::SocketReadiness(int socket) : m_socket(socket) {
    m_read = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    m_write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    m_urgent = new QSocketNotifier(socket, QSocketNotifier::Exception, this);
    for (QSocketNotifier* notifier : {m_read, m_write, m_urgent})
        notifier->setEnabled(false);
    connect(m_read, &QSocketNotifier::activated, this, &SocketReadiness::onReadable);
    connect(m_write, &QSocketNotifier::activated, this, &SocketReadiness::onWritable);
    connect(m_urgent, &QSocketNotifier::activated, this, &SocketReadiness::onUrgent);

    int type = SOCK_STREAM;
    socklen_t typeLen = sizeof type;
    ::getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &typeLen);
    m_stream = type == SOCK_STREAM;
    if (!m_stream) {
        // Datagram and raw sockets can send and receive from the start.
        m_state = State::Connected;
        m_write->setEnabled(true);
        startReading();
        return;
    }
    sockaddr_storage peer{};
    socklen_t peerLen = sizeof peer;
    if (::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerLen) == 0) {
        // An accepted socket: its first Write comes before anything it receives.
        m_state = State::Connected;
        m_firstWrite = true;
        m_write->setEnabled(true);
    }
}

void SocketReadiness::received() {
    if (m_reading && !m_stopped) {
        m_read->setEnabled(true);
        m_urgent->setEnabled(m_stream);
    }
}

void SocketReadiness::accepted() {
    if (m_state == State::Listening && !m_stopped) m_read->setEnabled(true);
}

void SocketReadiness::sendBlocked() {
    if (m_state == State::Connected && !m_stopped) m_write->setEnabled(true);
}

void SocketReadiness::connecting() {
    if (m_stream && m_state == State::Quiet && !m_stopped) {
        m_state = State::Connecting;
        m_write->setEnabled(true);
    }
}

void SocketReadiness::listening() {
    if (m_stream && m_state == State::Quiet && !m_stopped) {
        m_state = State::Listening;
        m_read->setEnabled(true);
    }
}

void SocketReadiness::onReadable() {
    m_read->setEnabled(false);
    if (m_state == State::Listening) {
        report(Accept, 0);
        return;
    }
    if (!m_stream) {
        report(Read, 0);
        return;
    }
    // A stream is readable for data, for the peer's end and for an error; a peek tells which.
    char byte = 0;
    const ssize_t n = ::recv(m_socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        report(Read, 0);
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        m_read->setEnabled(true);
        return;
    }
    const int error = n == 0 ? 0 : winsock::lastError();
    m_state = State::Ended;
    m_reading = false;
    m_write->setEnabled(false);
    m_urgent->setEnabled(false);
    report(Close, error);
}

void SocketReadiness::onWritable() {
    m_write->setEnabled(false);
    if (m_state == State::Connecting) {
        completeConnect();
        return;
    }
    if (!report(Write, 0)) return;
    if (std::exchange(m_firstWrite, false)) startReading();
}

void SocketReadiness::completeConnect() {
    int error = 0;
    socklen_t errorLen = sizeof error;
    ::getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &error, &errorLen);
    if (error != 0) {
        m_state = State::Quiet;
        report(Connect, winsock::fromErrno(error));
        return;
    }
    m_state = State::Connected;
    if (report(Connect, 0) && report(Write, 0)) startReading();
}

void SocketReadiness::onUrgent() {
    // Also woken by socket errors, which the read side reports; only real urgent data counts.
    m_urgent->setEnabled(false);
    char byte = 0;
    if (::recv(m_socket, &byte, 1, MSG_OOB | MSG_PEEK | MSG_DONTWAIT) == 1) report(Oob, 0);
}

void SocketReadiness::startReading() {
    m_reading = true;
    m_read->setEnabled(true);
    if (m_stream) m_urgent->setEnabled(true);
}

void SocketReadiness::stop() {
    m_stopped = true;
    m_reading = false;
    for (QSocketNotifier* notifier : {m_read, m_write, m_urgent})
        notifier->setEnabled(false);
}

bool SocketReadiness::report(int event, int error) {
    ++m_reporting;
    Q_EMIT notify(m_socket, event, error);
    --m_reporting;
    return !m_stopped;
}
