#pragma once

#include "platform/SendBacklog.h"

#include <QObject>

class QSocketNotifier;

// Closes a socket whose backlog still holds bytes the caller was told were sent: like a
// graceful close, the socket stays open in the background until the backlog has gone out,
// the peer fails, or the time limit passes, and is closed then. GUI thread only.
class LingeringClose : public QObject {
    Q_OBJECT
public:
    static constexpr int TimeLimitMs = 30000;

    // Takes over the socket (already released by its watcher) and its backlog; closes the
    // socket at once when nothing waits.
    static void start(int socket, SendBacklog backlog, int timeLimitMs = TimeLimitMs);

private:
    LingeringClose(int socket, SendBacklog backlog, int timeLimitMs);
    ~LingeringClose() override;
    void onWritable();

    int m_socket;
    SendBacklog m_backlog;
    QSocketNotifier* m_write = nullptr;
};
