#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Watches one non-blocking socket on the GUI thread and reports its readiness as Winsock's
// network events, with Winsock's meaning and re-enabling rules:
// - Read: data (a datagram) waits. Reported again only after received().
// - Write: the socket can send. Once when it first can (a datagram socket and an accepted
//   socket at once, a client when its connect completes), then only after sendBlocked().
// - Connect: a connect announced with connecting() completed, carrying its error when it
//   failed; on success Write follows, and reading starts.
// - Accept: a connection waits on a socket announced with listening(). Again after accepted().
// - Close: once, when the peer's orderly end is read, or with the error that ended the
//   connection (a reset). Nothing is reported after it.
// - Oob: urgent data waits. Again only after received().
// Stream sockets report nothing until they are connected, accepted or listening, so that a
// socket that is merely bound stays quiet. Errors are Winsock numbers (WinsockErrors.h).
// The watcher never reads, accepts or closes the socket. GUI thread only.
class SocketReadiness : public QObject {
    Q_OBJECT
public:
    enum Event : int {
        Read = 0x01,
        Write = 0x02,
        Oob = 0x04,
        Accept = 0x08,
        Connect = 0x10,
        Close = 0x20,
    };

    // Ends a watcher's reports at once and frees it as soon as that is safe, also from
    // inside one of its own reports. Release before closing the socket.
    struct Release {
        void operator()(SocketReadiness* watcher) const;
    };
    using Handle = std::unique_ptr<SocketReadiness, Release>;

    // Starts watching a non-blocking socket in whatever state it is.
    static Handle watch(int socket);

    int socket() const { return m_socket; }

    // Calls that re-enable reports, made after the matching socket call.
    void received();    // recv/recvfrom: Read and Oob
    void accepted();    // accept: Accept
    void sendBlocked(); // a send that would have blocked: Write
    void connecting();  // a stream connect that is under way (or done): Connect
    void listening();   // listen: Accept

Q_SIGNALS:
    void notify(int socket, int event, int error);

private:
    enum class State { Quiet, Connecting, Connected, Listening, Ended };

    explicit SocketReadiness(int socket);
    void onReadable();
    void onWritable();
    void onUrgent();
    void completeConnect();
    void startReading();
    void stop();
    // False when the receiver released the watcher while handling the report.
    bool report(int event, int error);

    int m_socket = -1;
    bool m_stream = true;
    State m_state = State::Quiet;
    bool m_reading = false;    // Read, Oob and Close may be reported
    bool m_firstWrite = false; // reading starts after the first Write of an accepted socket
    bool m_stopped = false;
    int m_reporting = 0;
    QSocketNotifier* m_read = nullptr;
    QSocketNotifier* m_write = nullptr;
    QSocketNotifier* m_urgent = nullptr;
};
