#include "platform/LingeringClose.h"

#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

void LingeringClose::start(int socket, SendBacklog backlog, int timeLimitMs) {
    if (backlog.empty() || backlog.flush(socket) != SendBacklog::Result::Waiting) {
        ::close(socket);
        return;
    }
    new LingeringClose(socket, std::move(backlog), timeLimitMs);
}

LingeringClose::LingeringClose(int socket, SendBacklog backlog, int timeLimitMs)
    : m_socket(socket), m_backlog(std::move(backlog)) {
    m_write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    connect(m_write, &QSocketNotifier::activated, this, &LingeringClose::onWritable);
    QTimer::singleShot(timeLimitMs, this, &QObject::deleteLater);
}

LingeringClose::~LingeringClose() {
    m_write->setEnabled(false);
    ::close(m_socket);
}

void LingeringClose::onWritable() {
    if (m_backlog.flush(m_socket) != SendBacklog::Result::Waiting) {
        m_write->setEnabled(false);
        deleteLater();
    }
}
