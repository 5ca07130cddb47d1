#include "bench/shell/SerialWriter.h"

#include "bench/serial/CommConstants.h"
#include "bench/serial/Qxcommdevice.h"

#include <algorithm>

SerialWriter::SerialWriter(TQxCommDevice& device, QObject* parent)
    : QObject(parent), m_device(device) {
    connect(&m_device, &TQxCommDevice::OnCommNotify, this, [this](int events) {
        if (events & ZaldoComm32::EV_TXEMPTY)
            pump();
    });
    connect(&m_device, &TQxCommDevice::BeforeClose, this, &SerialWriter::drop);
}

bool SerialWriter::write(const std::uint8_t* data, int len) {
    if (!m_device.Active())
        return false;
    int queued = 0;
    // Straight to the device unless earlier bytes still wait: order comes first.
    if (pending() == 0) {
        m_pending.clear();
        m_sent = 0;
        queued = std::max(0, m_device.Write(data, len));
        if (queued > 0)
            Q_EMIT taken(queued);
    }
    if (queued < len)
        m_pending.append(reinterpret_cast<const char*>(data) + queued, len - queued);
    return true;
}

void SerialWriter::pump() {
    if (pending() == 0)
        return;
    if (!m_device.Active()) {
        drop();
        return;
    }
    const auto* rest = reinterpret_cast<const std::uint8_t*>(m_pending.constData()) + m_sent;
    const int count = m_device.Write(rest, static_cast<std::int32_t>(pending()));
    if (count <= 0)
        return;
    m_sent += count;
    Q_EMIT taken(count);
    if (pending() == 0) {
        m_pending.clear();
        m_sent = 0;
        Q_EMIT drained();
    }
}

void SerialWriter::drop() {
    if (pending() == 0)
        return;
    m_pending.clear();
    m_sent = 0;
    Q_EMIT drained();
}
