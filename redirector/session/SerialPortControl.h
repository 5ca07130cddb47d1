#pragma once

#include "platform/PortMap.h"
#include "platform/SerialLineSettings.h"
#include "platform/SerialPortFile.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class ModemLines;
class QSocketNotifier;

// The session's serial port MSComm1: COMn through the port map, held for exclusive use, in
// raw mode with the line settings, handshake and DTR it is given. Received bytes are taken
// from the device into the input buffer as they arrive and handed over as they came; the
// output buffer goes to the device as fast as it takes it. GUI thread only: every call and
// the communications event happen there.
//
// Setters that fail return false and leave a plain English text in errorDescription().
class SerialPortControl : public QObject {
    Q_OBJECT
public:
    static constexpr int EventReceive = 2;  // event code: data received
    static constexpr int ReceiveQuiet = 0;  // receive mode: input only counted
    static constexpr int ReceiveEvents = 1; // receive mode: an event for every arrival
    static constexpr int HandshakeNone = 0;
    static constexpr int HandshakeXonXoff = 1;
    static constexpr int HandshakeRtsCts = 2;

    // The port folder as the environment names it and the system's modem lines.
    explicit SerialPortControl(QObject* parent = nullptr);
    SerialPortControl(PortMap map, ModemLines& lines, QObject* parent = nullptr);
    ~SerialPortControl() override;

    // COMn, 1 to 256; only while closed.
    bool setPortNumber(int portNumber);
    int portNumber() const { return m_portNumber; }
    // "baud,parity,data bits,stop bits": 9600,N,8,1. Parity N, E, O, M or S; data bits 5 to
    // 8; stop bits 1, 1.5 or 2. Takes effect at once on an open port.
    bool setSettings(const QString& text);
    QString settings() const { return m_settingsText; }
    // HandshakeNone, HandshakeXonXoff or HandshakeRtsCts. Takes effect at once.
    bool setHandshaking(int mode);
    int handshaking() const { return m_handshaking; }
    // The line-control flag: DTR is raised while the port is open when true, held low when
    // false. Takes effect at once.
    bool setLineControl(bool on);
    bool lineControl() const { return m_lineControl; }
    // Buffer sizes in bytes, at least 1; only while closed.
    bool setInputBufferSize(int bytes);
    int inputBufferSize() const { return m_inputBufferSize; }
    bool setOutputBufferSize(int bytes);
    int outputBufferSize() const { return m_outputBufferSize; }
    // ReceiveEvents raises the communications event with code EventReceive for every arrival
    // of data; ReceiveQuiet (the start value) leaves the caller to poll inputCount().
    bool setReceiveMode(int mode);
    int receiveMode() const { return m_receiveMode; }

    // Opening takes the device for exclusive use and applies every setting; closing drops
    // what waits in both buffers.
    bool setPortOpen(bool open);
    bool isPortOpen() const { return m_port.isOpen(); }

    int inputCount() const { return static_cast<int>(m_input.size()); }
    void discardInput();
    // Every byte waiting in the input buffer, which is then empty.
    QByteArray readInput();
    int outputCount() const { return static_cast<int>(m_output.size()); }
    // Queues as much of `bytes` as the output buffer has room for and returns that count.
    // Fails (-1) on a closed port.
    int writeOutput(const QByteArray& bytes);
    // Why the last communications event was raised.
    int eventCode() const { return m_eventCode; }

    const QString& errorDescription() const { return m_errorDescription; }

Q_SIGNALS:
    void commEvent();

private:
    bool fail(const QString& description);
    bool openPort();
    void closePort();
    bool applyLine();
    void onReadable();
    void onWritable();
    void drainOutput();
    void stopWatching(QSocketNotifier*& notifier);

    PortMap m_map;
    ModemLines* m_lines;
    int m_portNumber = 1;
    QString m_settingsText = QStringLiteral("9600,N,8,1");
    SerialLineSettings m_line{9600};
    int m_handshaking = HandshakeNone;
    bool m_lineControl = true;
    int m_inputBufferSize = 1024;
    int m_outputBufferSize = 512;
    int m_receiveMode = ReceiveQuiet;
    int m_eventCode = 0;
    QString m_errorDescription;

    SerialPortFile m_port;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_input;
    QByteArray m_output;
};
