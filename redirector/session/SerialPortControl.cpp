#include "redirector/session/SerialPortControl.h"

#include "platform/ModemLines.h"
#include "platform/SerialTermios.h"

#include <QSocketNotifier>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int HighestPortNumber = 256;

QString openFailure(int portNumber, int err) {
    const QString port = QStringLiteral("COM%1").arg(portNumber);
    switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return port + QStringLiteral(" does not exist");
    case EBUSY:
        return port + QStringLiteral(" is in use by another program");
    case EACCES:
    case EPERM:
        return QStringLiteral("No permission to use ") + port;
    case ENOTTY:
        return port + QStringLiteral(" is not a serial port");
    default:
        return port + QStringLiteral(" cannot be opened: ") + QString::fromLocal8Bit(strerror(err));
    }
}

std::optional<SerialParity> parityOf(const QString& letter) {
    if (letter.size() != 1) return std::nullopt;
    switch (letter.at(0).toUpper().unicode()) {
    case u'N':
        return SerialParity::None;
    case u'E':
        return SerialParity::Even;
    case u'O':
        return SerialParity::Odd;
    case u'M':
        return SerialParity::Mark;
    case u'S':
        return SerialParity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<SerialStopBits> stopBitsOf(const QString& text) {
    if (text == QLatin1String("1")) return SerialStopBits::One;
    if (text == QLatin1String("1.5")) return SerialStopBits::OneAndHalf;
    if (text == QLatin1String("2")) return SerialStopBits::Two;
    return std::nullopt;
}

// "9600,N,8,1" on top of `line`, whose handshake fields stay as they are.
std::optional<SerialLineSettings> parseSettings(const QString& text, SerialLineSettings line) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 4) return std::nullopt;
    bool baudOk = false;
    bool dataOk = false;
    line.baudRate = fields[0].trimmed().toInt(&baudOk);
    line.dataBits = fields[2].trimmed().toInt(&dataOk);
    const std::optional<SerialParity> parity = parityOf(fields[1].trimmed());
    const std::optional<SerialStopBits> stopBits = stopBitsOf(fields[3].trimmed());
    if (!baudOk || line.baudRate <= 0 || !dataOk || line.dataBits < 5 || line.dataBits > 8 ||
        !parity || !stopBits)
        return std::nullopt;
    line.parity = *parity;
    line.stopBits = *stopBits;
    return line;
}

} // namespace

SerialPortControl::SerialPortControl(QObject* parent)
    : SerialPortControl(PortMap(), ModemLines::system(), parent) {}

SerialPortControl::SerialPortControl(PortMap map, ModemLines& lines, QObject* parent)
    : QObject(parent), m_map(std::move(map)), m_lines(&lines) {}

SerialPortControl::~SerialPortControl() {
    blockSignals(true);
    closePort();
}

bool SerialPortControl::fail(const QString& description) {
    m_errorDescription = description;
    return false;
}

bool SerialPortControl::setPortNumber(int portNumber) {
    if (isPortOpen()) return fail(QStringLiteral("Port already open"));
    if (portNumber < 1 || portNumber > HighestPortNumber)
        return fail(QStringLiteral("Invalid port number"));
    m_portNumber = portNumber;
    return true;
}

bool SerialPortControl::setSettings(const QString& text) {
    const std::optional<SerialLineSettings> line = parseSettings(text, m_line);
    if (!line) return fail(QStringLiteral("Invalid port settings: ") + text);
    const SerialLineSettings before = std::exchange(m_line, *line);
    if (isPortOpen() && !applyLine()) {
        m_line = before;
        return fail(QStringLiteral("COM%1 refused the settings %2").arg(m_portNumber).arg(text));
    }
    m_settingsText = text;
    return true;
}

bool SerialPortControl::setHandshaking(int mode) {
    if (mode < HandshakeNone || mode > HandshakeRtsCts)
        return fail(QStringLiteral("Invalid handshaking mode"));
    const SerialLineSettings before = m_line;
    m_line.xonInput = m_line.xonOutput = mode == HandshakeXonXoff;
    m_line.rtsCts = mode == HandshakeRtsCts;
    if (isPortOpen() && !applyLine()) {
        m_line = before;
        return fail(QStringLiteral("COM%1 refused the handshake").arg(m_portNumber));
    }
    m_handshaking = mode;
    return true;
}

bool SerialPortControl::setLineControl(bool on) {
    if (isPortOpen() && !m_lines->set(m_port.fd(), TIOCM_DTR, on))
        return fail(QStringLiteral("COM%1 refused to set DTR").arg(m_portNumber));
    m_lineControl = on;
    return true;
}

bool SerialPortControl::setInputBufferSize(int bytes) {
    if (isPortOpen()) return fail(QStringLiteral("Port already open"));
    if (bytes < 1) return fail(QStringLiteral("Invalid buffer size"));
    m_inputBufferSize = bytes;
    return true;
}

bool SerialPortControl::setOutputBufferSize(int bytes) {
    if (isPortOpen()) return fail(QStringLiteral("Port already open"));
    if (bytes < 1) return fail(QStringLiteral("Invalid buffer size"));
    m_outputBufferSize = bytes;
    return true;
}

bool SerialPortControl::setReceiveMode(int mode) {
    if (mode != ReceiveQuiet && mode != ReceiveEvents)
        return fail(QStringLiteral("Invalid receive mode"));
    m_receiveMode = mode;
    return true;
}

bool SerialPortControl::setPortOpen(bool open) {
    if (!open) {
        closePort();
        return true;
    }
    if (isPortOpen()) return fail(QStringLiteral("Port already open"));
    return openPort();
}

bool SerialPortControl::applyLine() {
    return applyLineSettings(m_port.fd(), m_line) &&
           m_lines->set(m_port.fd(), TIOCM_DTR, m_lineControl);
}

bool SerialPortControl::openPort() {
    if (const int err = m_port.open(m_map.devicePath(m_portNumber)); err != 0)
        return fail(openFailure(m_portNumber, err));
    if (!applyLine()) {
        const int err = errno;
        m_port.close();
        return fail(QStringLiteral("COM%1 refused the settings %2: %3")
                        .arg(m_portNumber)
                        .arg(m_settingsText, QString::fromLocal8Bit(strerror(err))));
    }
    m_readNotifier = new QSocketNotifier(m_port.fd(), QSocketNotifier::Read, this);
    m_writeNotifier = new QSocketNotifier(m_port.fd(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SerialPortControl::onReadable);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &SerialPortControl::onWritable);
    return true;
}

void SerialPortControl::closePort() {
    if (!isPortOpen()) return;
    stopWatching(m_readNotifier);
    stopWatching(m_writeNotifier);
    drainOutput(); // what the device takes now still goes out
    m_port.close();
    m_input.clear();
    m_output.clear();
}

void SerialPortControl::stopWatching(QSocketNotifier*& notifier) {
    if (!notifier) return;
    notifier->setEnabled(false);
    // Also called from the notifier's own report: it goes once that report is over.
    notifier->deleteLater();
    notifier = nullptr;
}

void SerialPortControl::discardInput() {
    m_input.clear();
    if (m_readNotifier) m_readNotifier->setEnabled(true);
}

QByteArray SerialPortControl::readInput() {
    QByteArray bytes = std::exchange(m_input, {});
    if (m_readNotifier) m_readNotifier->setEnabled(true);
    return bytes;
}

int SerialPortControl::writeOutput(const QByteArray& bytes) {
    if (!isPortOpen()) {
        fail(QStringLiteral("The port is not open"));
        return -1;
    }
    const qsizetype taken = std::min<qsizetype>(bytes.size(), m_outputBufferSize - m_output.size());
    if (taken <= 0) return 0;
    m_output.append(bytes.constData(), taken);
    drainOutput();
    return static_cast<int>(taken);
}

void SerialPortControl::onReadable() {
    const qsizetype room = m_inputBufferSize - m_input.size();
    std::array<char, 4096> buffer;
    qsizetype got = 0;
    bool hungUp = false;
    while (got < room) {
        const auto want = static_cast<std::size_t>(std::min<qsizetype>(buffer.size(), room - got));
        const ssize_t n = ::read(m_port.fd(), buffer.data(), want);
        if (n > 0) {
            m_input.append(buffer.data(), n);
            got += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // 0 or EIO: the device hung up (an unplugged adapter, a closed far end).
            hungUp = n == 0 || errno != EAGAIN;
            break;
        }
    }
    if (hungUp)
        stopWatching(m_readNotifier);
    else if (m_input.size() >= m_inputBufferSize)
        m_readNotifier->setEnabled(false); // the device holds the rest until there is room
    if (got > 0 && m_receiveMode == ReceiveEvents) {
        m_eventCode = EventReceive;
        Q_EMIT commEvent();
    }
}

void SerialPortControl::onWritable() {
    drainOutput();
}

void SerialPortControl::drainOutput() {
    while (!m_output.isEmpty()) {
        const ssize_t n =
            ::write(m_port.fd(), m_output.constData(), static_cast<std::size_t>(m_output.size()));
        if (n > 0) {
            m_output.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0 || errno == EAGAIN) {
            break;
        } else {
            m_output.clear(); // the device is gone: nothing will take these bytes any more
        }
    }
    if (m_writeNotifier) m_writeNotifier->setEnabled(!m_output.isEmpty());
}
