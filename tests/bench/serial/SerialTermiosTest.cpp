// The platform's serial pieces: port names to devices, line settings to termios, and
// exclusive opening.
#include "platform/SerialTermios.h"
#include "bench/serial/QxCommTypes.h"
#include "bench/serial/Tcomm32.h"
#include "platform/PortMap.h"
#include "platform/SerialPortFile.h"
#include "tests/bench/serial/PortFolderTest.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>

using namespace ZaldoComm32;

namespace {

// Attributes as a terminal starts: cooked, echoing, translating, at 9600 baud.
termios cookedTerminal() {
    termios t{};
    t.c_iflag = ICRNL | IXON | ISTRIP;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ECHO | ICANON | ISIG | IEXTEN;
    t.c_cflag = CS7 | PARENB | HUPCL;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return t;
}

std::optional<termios> termiosOf(const DCB& dcb) {
    const std::optional<SerialLineSettings> line = lineSettingsOf(dcb);
    return line ? termiosFor(cookedTerminal(), *line) : std::nullopt;
}

struct BaudCase {
    int rate;
    speed_t code; // 0 where the rate needs BOTHER
};

class BaudMapping : public ::testing::TestWithParam<BaudCase> {};

} // namespace

TEST_P(BaudMapping, StandardRatesUseTheirCodeOthersKeepTheSpeedBitsForBother) {
    DCB dcb;
    dcb.BaudRate = GetParam().rate;
    const std::optional<termios> t = termiosOf(dcb);
    ASSERT_TRUE(t);
    if (GetParam().code != 0) {
        EXPECT_EQ(standardSpeed(GetParam().rate), GetParam().code);
        EXPECT_EQ(cfgetospeed(&*t), GetParam().code);
        EXPECT_EQ(cfgetispeed(&*t), GetParam().code);
    } else {
        EXPECT_FALSE(standardSpeed(GetParam().rate));
        EXPECT_EQ(cfgetospeed(&*t), B9600) << "left for setDeviceBaudRate";
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryListedRate, BaudMapping,
    ::testing::Values(BaudCase{110, B110}, BaudCase{300, B300}, BaudCase{600, B600},
                      BaudCase{1200, B1200}, BaudCase{2400, B2400}, BaudCase{4800, B4800},
                      BaudCase{9600, B9600}, BaudCase{14400, 0}, BaudCase{19200, B19200},
                      BaudCase{38400, B38400}, BaudCase{56000, 0}, BaudCase{57600, B57600},
                      BaudCase{115200, B115200}, BaudCase{128000, 0}, BaudCase{256000, 0}));

TEST(SerialTermios, RawModeWithTheFramingOfTheRecord) {
    struct Case {
        std::uint8_t parity, byteSize, stopBits;
        tcflag_t cflags; // the bits of CSIZE | PARENB | PARODD | CMSPAR | CSTOPB expected
    };
    const Case cases[] = {
        {0, 8, 0, CS8},
        {1, 7, 0, CS7 | PARENB | PARODD},
        {2, 6, 2, CS6 | PARENB | CSTOPB},
        {3, 5, 1, CS5 | PARENB | PARODD | CMSPAR | CSTOPB}, // one and a half opens as two
        {4, 8, 2, CS8 | PARENB | CMSPAR | CSTOPB},
    };
    for (const Case& c : cases) {
        DCB dcb;
        dcb.Parity = c.parity;
        dcb.ByteSize = c.byteSize;
        dcb.StopBits = c.stopBits;
        const std::optional<termios> t = termiosOf(dcb);
        ASSERT_TRUE(t) << int(c.parity);
        EXPECT_EQ(t->c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflags)
            << "parity " << int(c.parity) << " bits " << int(c.byteSize);
        EXPECT_EQ(t->c_cflag & (CREAD | CLOCAL | HUPCL), CREAD | CLOCAL | HUPCL);
        EXPECT_EQ(t->c_iflag & (ICRNL | IXON | ISTRIP | INPCK), 0u) << "no input checks";
        EXPECT_EQ(t->c_oflag & OPOST, 0u);
        EXPECT_EQ(t->c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t->c_cc[VMIN], 1);
    }
}

TEST(SerialTermios, RefusesWhatTermiosCannotExpress) {
    for (auto edit : {+[](DCB& d) { d.ByteSize = 4; }, +[](DCB& d) { d.ByteSize = 9; },
                      +[](DCB& d) { d.Parity = 5; }, +[](DCB& d) { d.StopBits = 3; },
                      +[](DCB& d) { d.BaudRate = 0; }}) {
        DCB dcb;
        edit(dcb);
        EXPECT_FALSE(termiosOf(dcb));
    }
}

TEST(SerialTermios, FlowControlCodes) {
    struct Case {
        int code;
        tcflag_t cflags, iflags;
        int reported;
    };
    const Case cases[] = {{0, 0, 0, 0},
                          {3, CRTSCTS, 0, 3},
                          {4, 0, IXON | IXOFF, 4},
                          {5, 0, IXON | IXOFF, 4},
                          {6, CRTSCTS, IXON | IXOFF, 6},
                          {9, 0, 0, 0}};
    for (const Case& c : cases) {
        TComm32 comm;
        comm.fSetFCtrl(c.code);
        EXPECT_EQ(comm.fGetFCtrl(), c.reported) << c.code;
        const std::optional<termios> t = termiosOf(comm.Dcb());
        ASSERT_TRUE(t);
        EXPECT_EQ(t->c_cflag & CRTSCTS, c.cflags) << c.code;
        EXPECT_EQ(t->c_iflag & (IXON | IXOFF), c.iflags) << c.code;
        EXPECT_EQ(t->c_cc[VSTART], 0x11);
        EXPECT_EQ(t->c_cc[VSTOP], 0x13);
    }
}

class SerialDeviceTest : public PortFolderTest {};

// A pty keeps the rate (any rate, through termios2), the stop bits and CRTSCTS; it forces
// eight data bits without parity whatever was asked, and that must not fail the port.
TEST_F(SerialDeviceTest, PtyKeepsRateStopBitsAndHandshake) {
    PtyPair pair;
    ASSERT_TRUE(pair.isValid());
    SerialPortFile port;
    ASSERT_EQ(port.open(pair.slavePath()), 0);
    for (int rate : BaudRates) {
        SerialLineSettings line;
        line.baudRate = rate;
        ASSERT_TRUE(applyLineSettings(port.fd(), line)) << rate;
        EXPECT_EQ(deviceBaudRate(port.fd()), rate);
    }
    SerialLineSettings line;
    line.stopBits = SerialStopBits::Two;
    line.rtsCts = true;
    ASSERT_TRUE(applyLineSettings(port.fd(), line));
    termios t{};
    ASSERT_EQ(tcgetattr(port.fd(), &t), 0);
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), CSTOPB | CRTSCTS);
    EXPECT_EQ(deviceBaudRate(port.fd()), 115200) << "a standard rate after a BOTHER one";

    // Framing the pty cannot keep is no reason to refuse the port.
    line.dataBits = 7;
    line.parity = SerialParity::Even;
    EXPECT_TRUE(applyLineSettings(port.fd(), line));
}

TEST_F(SerialDeviceTest, OneHolderAtATime) {
    PtyPair pair;
    SerialPortFile first;
    SerialPortFile second;
    ASSERT_EQ(first.open(pair.slavePath()), 0);
    EXPECT_EQ(second.open(pair.slavePath()), EBUSY);
    EXPECT_FALSE(second.isOpen());
    first.close();
    EXPECT_EQ(second.open(pair.slavePath()), 0);

    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    SerialPortFile file;
    EXPECT_EQ(file.open(plain.fileName()), ENOTTY);
    EXPECT_EQ(file.open(path("missing")), ENOENT);
    EXPECT_EQ(file.fd(), -1);
}

TEST_F(SerialDeviceTest, PortNamesResolveThroughThePortFolder) {
    PtyPair pair;
    ASSERT_TRUE(pair.linkAs(dir(), 3));
    QFile::link(path("gone"), path("com5"));
    const PortMap map;
    EXPECT_EQ(map.folder(), dir());
    EXPECT_EQ(map.devicePath(3), path("com3"));
    EXPECT_EQ(map.devicePath(QStringLiteral("com3")), path("com3"));
    EXPECT_EQ(map.devicePath(5), path("com5")) << "a dangling link still names the port";
    EXPECT_EQ(map.devicePath(4), QStringLiteral("/dev/ttyS3"));
    EXPECT_EQ(map.devicePath(QStringLiteral("COM12")), QStringLiteral("/dev/ttyS11"));
    EXPECT_EQ(map.devicePath(QStringLiteral("LPT1")), QString());

    EXPECT_EQ(PortMap::portNumber(QStringLiteral("Com7")), 7);
    for (const char* name : {"COM", "COM-1", "COM1x", " COM1", "TTY1"})
        EXPECT_EQ(PortMap::portNumber(QString::fromLatin1(name)), 0) << name;
}

TEST_F(SerialDeviceTest, DefaultPortFolderFollowsTheConfigFolder) {
    qunsetenv("COMPORTS_DIR");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const bool hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir()));
    EXPECT_EQ(PortMap().folder(), path("comports"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(PortMap().folder(), QDir::homePath() + QStringLiteral("/.config/comports"));
    if (hadConfig) qputenv("XDG_CONFIG_HOME", config);
}
