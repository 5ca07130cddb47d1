#pragma once

// Hands send groups to the serial device whole. The device's output queue takes what fits;
// the rest waits here, in order, and follows each time the device reports its queue drained.
// Groups from different senders (the send loop, the file sender, the cyclic worker) therefore
// never mix inside one another. Everything waiting is dropped when the port closes.
// GUI thread only, like the device.

#include <QByteArray>
#include <QObject>

#include <cstdint>

class TQxCommDevice;

class SerialWriter : public QObject {
    Q_OBJECT
public:
    explicit SerialWriter(TQxCommDevice& device, QObject* parent = nullptr);

    // False when the port is not open (nothing is taken); otherwise every byte is on its way.
    bool write(const std::uint8_t* data, int len);
    // Bytes taken by write() that are not in the device's queue yet.
    qsizetype pending() const { return m_pending.size() - m_sent; }

Q_SIGNALS:
    // The device's queue took `count` more bytes: what the pane counts as sent.
    void taken(int count);
    // Nothing waits any more: it all went to the device, or was dropped with a closing port.
    void drained();

private:
    void pump();
    void drop();

    TQxCommDevice& m_device;
    QByteArray m_pending;
    qsizetype m_sent = 0; // bytes of m_pending already in the device's queue
};
