#pragma once

#include "platform/PortMap.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

// The session's virtual serial port VSPort1: a pseudo-terminal whose slave other programs
// open as COMn. While the port exists the slave is published as the link "comN" in the port
// folder (platform/PortMap.h), so every program that resolves COMn through the port map finds
// it; deleting the port removes the link. The line is raw: bytes pass untouched both ways.
//
// "Opened" tells whether another program has the slave open; it is read from the master's
// hang-up state (watched while the port is closed, noticed on reading while it is open).
// What that program writes waits here until read; what is written here goes to it, and what
// the pseudo-terminal does not take at once waits and follows.
//
// GUI thread only: every call and every notification happen there.
class VirtualSerialPort : public QObject {
    Q_OBJECT
public:
    // The port folder as the environment names it.
    explicit VirtualSerialPort(QObject* parent = nullptr);
    explicit VirtualSerialPort(PortMap map, QObject* parent = nullptr);
    // Deletes the port.
    ~VirtualSerialPort() override;

    // Creates the port named "COMn" (n from 1 to 256). Fails when this object holds a port
    // already, or when the link comN exists and is not a stale one (see ResetBus).
    bool create(const QString& portName);
    // Removes the link and ends the pseudo-terminal; the program that had it open sees a
    // hang-up. True when there was nothing to delete; false, with the port kept, when the
    // link cannot be removed.
    bool deletePort();
    bool exists() const { return m_master >= 0; }
    // The pseudo-terminal's slave device, empty while no port exists.
    const QString& devicePath() const { return m_devicePath; }

    // The option switched on after each creation: while it is on, the port raises its
    // openedChanged and dataReceived notifications; while off (as after create) the caller
    // polls isOpened and waitingCount.
    void setNotifications(bool on) { m_notifications = on; }
    bool notifications() const { return m_notifications; }

    bool isOpened() const { return m_opened; }
    // Bytes the program wrote that were not read yet.
    int waitingCount() const { return static_cast<int>(m_waiting.size()); }
    // Up to `count` waiting bytes, oldest first; a read of waitingCount() takes them all.
    QByteArray read(int count);
    // Delivers the bytes to the program that has the port open; returns the number taken,
    // 0 when no program has it open.
    int write(const QByteArray& bytes);
    // Drops the waiting bytes; false when no port exists.
    bool discard();

    // Removes the links in the port folder that point at pseudo-terminals that no longer
    // exist (left behind by a program that ended without deleting its port).
    void ResetBus();

Q_SIGNALS:
    void openedChanged(bool opened);
    void dataReceived();

private:
    void releasePort();
    void lookForOpener();
    void onReadable();
    void onWritable();
    void becameOpened();
    void becameClosed();
    void sendOutgoing();
    bool linkIsOurs() const;

    PortMap m_map;
    int m_master = -1;
    QString m_devicePath;
    QString m_linkPath;
    bool m_notifications = false;
    bool m_opened = false;
    QTimer* m_openerPoll = nullptr;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_waiting;
    QByteArray m_outgoing;
};
