#pragma once

// A pseudo-terminal pair standing in for a serial port: the slave is the port a program
// opens, the master is the device at the far end of the line. Both ends start in raw mode.

#include <QByteArray>
#include <QString>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0; }
    int master() const { return m_master; }
    const QString& slavePath() const { return m_slavePath; }

    // Publishes the slave as COMn in `folder` (the link "comN"), replacing an older link.
    bool linkAs(const QString& folder, int portNo) const;

    // The far end hangs up: what an unplugged adapter looks like to the port.
    void closeMaster();

    // Everything written before the deadline; false if the line stayed full.
    bool send(const QByteArray& bytes, int timeoutMs = 5000);
    // Exactly `count` bytes, or fewer when the deadline passed first.
    QByteArray receive(int count, int timeoutMs = 5000);
    // Whatever arrives within `ms`.
    QByteArray receiveFor(int ms);

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
