#pragma once

// Shared by the send, receive and file-source tests: the window with real peers on the other
// end of its transports, and ways to act while one of its send loops runs.

#include "FormNetFixture.h"

#include "tests/bench/net/SocketTestSupport.h"
#include "tests/bench/serial/PtyPair.h"

#include <QByteArray>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class DataPathTest : public FormNetTest {
protected:
    // The network pane as a TCP client of a plain listener; returns the server's end.
    PlainSocket connectClient();
    // The network pane as a UDP endpoint whose target is `peer`.
    void openUdpTo(const PlainSocket& peer);
    // The serial pane open on a pseudo-terminal published as COM2.
    void openSerial();
    // A file in the test's folder with these bytes.
    QString writeFile(const QString& name, const QByteArray& bytes);
    static QByteArray readFile(const QString& path);
    // What a receive box shows once the pending appends were written.
    static QString shown(QPlainTextEdit* box);

    PtyPair pty;
};

// Each datagram waiting on a UDP socket, in order, read without waiting.
std::vector<QByteArray> datagrams(const PlainSocket& socket);

// Calls `step` every few milliseconds while the window runs a send loop (the test's thread is
// inside the loop's handler meanwhile), until it returns true. Should that not happen within
// `timeoutMs`, it fails the test and calls `stop` so that the loop ends and the test goes on.
class WhileSending {
public:
    WhileSending(std::function<bool()> step, std::function<void()> stop, int timeoutMs = 10000);

private:
    QTimer m_timer;
};

// A peer slower than the sender: a thread reads `expected` bytes from a descriptor in pieces,
// pausing after each, and gives up after `idleMs` without data.
class SlowReader {
public:
    SlowReader(int fd, qsizetype expected, int pieceBytes = 16384, int pauseUs = 500,
               int idleMs = 10000);
    ~SlowReader();
    // The thread has read everything or given up.
    bool done() const { return m_done; }
    // Everything read, once the thread is done; the window keeps working meanwhile, so that
    // what it still holds for the peer can go out.
    QByteArray finish();

private:
    QByteArray m_bytes;
    std::atomic<bool> m_done = false;
    std::thread m_thread;
};

// CPU time of this process (user and system) in seconds.
double processCpuSeconds();
