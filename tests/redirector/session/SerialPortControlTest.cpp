#include "redirector/session/SerialPortControl.h"
#include "platform/ModemLines.h"
#include "tests/redirector/session/SessionTestSupport.h"
#include "tests/support/TestWait.h"

#include <QFile>
#include <QSignalSpy>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <termios.h>

namespace {

using ::testing::_;

class RecordingModemLines : public ModemLines {
public:
    MOCK_METHOD(Status, status, (int fd), (override));
    MOCK_METHOD(bool, set, (int fd, int line, bool on), (override));
};

class SerialPortControlTest : public PortFolderTest {
protected:
    void SetUp() override {
        PortFolderTest::SetUp();
        ASSERT_TRUE(m_device.master.isOpen());
        ASSERT_TRUE(m_device.linkAs(dir(), 3));
    }

    // COM3 as the session opens it: 8192-byte buffers, an event for every arrival.
    static void configure(SerialPortControl& port) {
        ASSERT_TRUE(port.setPortNumber(3));
        ASSERT_TRUE(port.setInputBufferSize(8192));
        ASSERT_TRUE(port.setOutputBufferSize(8192));
        ASSERT_TRUE(port.setReceiveMode(SerialPortControl::ReceiveEvents));
    }

    PseudoTerminal m_device;
};

TEST_F(SerialPortControlTest, CarriesBytesBothWaysWithAnEventForEveryArrival) {
    SerialPortControl port;
    configure(port);
    QSignalSpy events(&port, &SerialPortControl::commEvent);
    ASSERT_TRUE(port.setPortOpen(true)) << port.errorDescription().toStdString();
    EXPECT_TRUE(port.isPortOpen());

    // Every byte value arrives unchanged: the line is raw.
    QByteArray allValues;
    for (int value = 0; value < 256; ++value)
        allValues.append(static_cast<char>(value));
    QByteArray expected;
    QByteArray received;
    for (const QByteArray& chunk : {QByteArray("hello\r\n"), allValues}) {
        const qsizetype before = events.size();
        expected += chunk;
        ASSERT_TRUE(m_device.master.send(chunk));
        ASSERT_TRUE(waitUntil([&] { return events.size() > before; }));
        EXPECT_EQ(port.eventCode(), SerialPortControl::EventReceive);
        ASSERT_TRUE(waitUntil([&] {
            received += port.readInput();
            return received.size() >= expected.size();
        }));
    }
    EXPECT_EQ(received, expected);
    EXPECT_EQ(port.inputCount(), 0);

    const QByteArray out = patternBytes(5000);
    EXPECT_EQ(port.writeOutput(out), 5000);
    EXPECT_EQ(m_device.master.receive(out.size()), out);
    EXPECT_TRUE(waitUntil([&] { return port.outputCount() == 0; }));
}

TEST_F(SerialPortControlTest, OutputBufferTakesWhatFitsAndDrainsAsTheDeviceTakesIt) {
    SerialPortControl port;
    configure(port);
    ASSERT_TRUE(port.setPortOpen(true));
    const QByteArray data = patternBytes(30000);
    QByteArray sent;
    QByteArray arrived;
    // Only the buffer's room is taken; the rest is the caller's to offer again.
    ASSERT_TRUE(waitUntil(
        [&] {
            if (sent.size() < data.size()) {
                const int taken = port.writeOutput(data.mid(sent.size()));
                EXPECT_GE(taken, 0);
                EXPECT_LE(taken, 8192);
                EXPECT_LE(port.outputCount(), 8192);
                sent += data.mid(sent.size(), taken);
            }
            arrived += m_device.master.receiveFor(1);
            return arrived.size() == data.size();
        },
        10000));
    EXPECT_EQ(arrived, data);
}

TEST_F(SerialPortControlTest, FullInputBufferHoldsTheRestInTheDevice) {
    SerialPortControl port;
    configure(port);
    ASSERT_TRUE(port.setPortOpen(true));
    const QByteArray data = patternBytes(20000);
    ASSERT_TRUE(m_device.master.send(data));
    ASSERT_TRUE(waitUntil([&] { return port.inputCount() == 8192; }));
    pumpEvents(50);
    EXPECT_EQ(port.inputCount(), 8192);

    QByteArray received;
    ASSERT_TRUE(waitUntil([&] {
        received += port.readInput();
        return received.size() >= data.size();
    }));
    EXPECT_EQ(received, data);
}

TEST_F(SerialPortControlTest, QuietReceiveModeOnlyCountsInput) {
    SerialPortControl port;
    configure(port);
    ASSERT_TRUE(port.setReceiveMode(SerialPortControl::ReceiveQuiet));
    QSignalSpy events(&port, &SerialPortControl::commEvent);
    ASSERT_TRUE(port.setPortOpen(true));
    ASSERT_TRUE(m_device.master.send("abc"));
    ASSERT_TRUE(waitUntil([&] { return port.inputCount() == 3; }));
    EXPECT_TRUE(events.isEmpty());
    port.discardInput();
    EXPECT_EQ(port.inputCount(), 0);
    EXPECT_TRUE(port.readInput().isEmpty());
}

TEST_F(SerialPortControlTest, HoldsThePortForExclusiveUse) {
    SerialPortControl first;
    SerialPortControl second;
    configure(first);
    configure(second);
    ASSERT_TRUE(first.setPortOpen(true));

    EXPECT_FALSE(second.setPortOpen(true));
    EXPECT_EQ(second.errorDescription(), QStringLiteral("COM3 is in use by another program"));
    EXPECT_FALSE(second.isPortOpen());
    EXPECT_FALSE(first.setPortNumber(4)); // not while open

    ASSERT_TRUE(first.setPortOpen(false));
    EXPECT_TRUE(second.setPortOpen(true)) << second.errorDescription().toStdString();
}

TEST_F(SerialPortControlTest, ReportsWhyAPortDoesNotOpen) {
    QFile::link(path("nowhere"), linkPath(7));
    QFile plain(path("notes.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QFile::link(plain.fileName(), linkPath(8));
    const struct {
        int port;
        const char* description;
    } cases[] = {
        {7, "COM7 does not exist"},
        {8, "COM8 is not a serial port"},
    };
    for (const auto& c : cases) {
        SerialPortControl port;
        ASSERT_TRUE(port.setPortNumber(c.port));
        EXPECT_FALSE(port.setPortOpen(true));
        EXPECT_EQ(port.errorDescription(), QString::fromLatin1(c.description));
        EXPECT_FALSE(port.isPortOpen());
    }
}

TEST_F(SerialPortControlTest, RefusesSettingsItCannotExpress) {
    SerialPortControl port;
    for (const char* good : {"9600,N,8,1", "9600,E,7,2", "14400,S,8,1.5", "115200,m,5,1"})
        EXPECT_TRUE(port.setSettings(QString::fromLatin1(good))) << good;
    EXPECT_EQ(port.settings(), QStringLiteral("115200,m,5,1"));
    for (const char* bad : {"9600,N,8", "abc,N,8,1", "0,N,8,1", "9600,X,8,1", "9600,N,9,1",
                            "9600,N,8,3", "9600,NN,8,1", ""}) {
        EXPECT_FALSE(port.setSettings(QString::fromLatin1(bad))) << bad;
        EXPECT_FALSE(port.errorDescription().isEmpty());
    }
    EXPECT_EQ(port.settings(), QStringLiteral("115200,m,5,1")); // refused texts change nothing
    for (int bad : {0, 257})
        EXPECT_FALSE(port.setPortNumber(bad));
    for (int bad : {-1, 3})
        EXPECT_FALSE(port.setHandshaking(bad));
    EXPECT_FALSE(port.setInputBufferSize(0));
    EXPECT_FALSE(port.setReceiveMode(2));
    EXPECT_EQ(port.writeOutput("x"), -1); // closed
}

TEST_F(SerialPortControlTest, AppliesRateAndHandshakeToTheDevice) {
    SerialPortControl port;
    configure(port);
    ASSERT_TRUE(port.setSettings(QStringLiteral("19200,N,8,2")));
    ASSERT_TRUE(port.setHandshaking(SerialPortControl::HandshakeRtsCts));
    ASSERT_TRUE(port.setPortOpen(true));
    // The master shows the terminal attributes of the line.
    termios line{};
    ASSERT_EQ(tcgetattr(m_device.master.fd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B19200);
    EXPECT_TRUE(line.c_cflag & CRTSCTS);
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(line.c_iflag & (IXON | IXOFF));

    // Changes reach an open port at once.
    ASSERT_TRUE(port.setHandshaking(SerialPortControl::HandshakeXonXoff));
    ASSERT_TRUE(port.setSettings(QStringLiteral("38400,N,8,1")));
    ASSERT_EQ(tcgetattr(m_device.master.fd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B38400);
    EXPECT_FALSE(line.c_cflag & (CRTSCTS | CSTOPB));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
}

TEST_F(SerialPortControlTest, LineControlFlagDrivesDtr) {
    RecordingModemLines lines;
    SerialPortControl port(PortMap(dir()), lines);
    configure(port);
    {
        ::testing::InSequence order;
        EXPECT_CALL(lines, set(_, TIOCM_DTR, false)).WillOnce(::testing::Return(true));
        EXPECT_CALL(lines, set(_, TIOCM_DTR, true)).WillOnce(::testing::Return(true));
    }
    ASSERT_TRUE(port.setLineControl(false)); // closed: remembered for the opening
    ASSERT_TRUE(port.setPortOpen(true));
    EXPECT_TRUE(port.setLineControl(true));
    ASSERT_TRUE(port.setPortOpen(false));
    EXPECT_TRUE(port.lineControl());
}

TEST_F(SerialPortControlTest, FarEndHangingUpLeavesThePortQuietAndClosable) {
    SerialPortControl port;
    configure(port);
    QSignalSpy events(&port, &SerialPortControl::commEvent);
    ASSERT_TRUE(port.setPortOpen(true));
    ASSERT_TRUE(m_device.master.send("last words"));
    ASSERT_TRUE(waitUntil([&] { return port.inputCount() == 10; }));
    const qsizetype seen = events.size();
    m_device.master.close();
    pumpEvents(100);
    EXPECT_EQ(port.readInput(), QByteArray("last words"));
    EXPECT_EQ(events.size(), seen); // a hang-up is no data
    port.writeOutput("lost");       // nothing takes it any more; it must not stick
    pumpEvents(50);
    EXPECT_TRUE(port.setPortOpen(false));
    EXPECT_FALSE(port.isPortOpen());
}

} // namespace
