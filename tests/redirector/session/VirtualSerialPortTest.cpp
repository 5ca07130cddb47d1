#include "redirector/session/VirtualSerialPort.h"
#include "tests/redirector/session/SessionTestSupport.h"
#include "tests/support/TestWait.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class VirtualSerialPortTest : public PortFolderTest {};

TEST_F(VirtualSerialPortTest, CreatePublishesTheLinkAndDeleteRemovesIt) {
    VirtualSerialPort port;
    ASSERT_TRUE(port.create(QStringLiteral("COM5")));
    EXPECT_TRUE(port.exists());
    const QFileInfo link(linkPath(5));
    ASSERT_TRUE(link.isSymLink());
    EXPECT_EQ(link.symLinkTarget(), port.devicePath());
    EXPECT_TRUE(port.devicePath().startsWith(QStringLiteral("/dev/pts/")));
    pumpEvents(150); // long enough for the port to look for an opener several times
    EXPECT_FALSE(port.isOpened());
    EXPECT_FALSE(port.create(QStringLiteral("COM6"))); // one port per object

    const QString device = port.devicePath();
    ASSERT_TRUE(port.deletePort());
    EXPECT_FALSE(QFileInfo(linkPath(5)).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(device));
    EXPECT_FALSE(port.exists());
    EXPECT_TRUE(port.deletePort()); // nothing left to delete

    ASSERT_TRUE(port.create(QStringLiteral("com5"))); // the name in any case
    {
        VirtualSerialPort other;
        EXPECT_FALSE(other.create(QStringLiteral("COM5"))); // taken by a live port
    }
    EXPECT_TRUE(QFileInfo(linkPath(5)).isSymLink()); // the other one did not touch it
}

TEST_F(VirtualSerialPortTest, RefusesNamesItCannotTake) {
    QFile plain(path("device"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(QFile::link(plain.fileName(), linkPath(2))); // a user's own mapping
    VirtualSerialPort port;
    for (const char* name : {"COM0", "COM257", "LPT1", "COM", "COM2"})
        EXPECT_FALSE(port.create(QString::fromLatin1(name))) << name;
    EXPECT_EQ(QFileInfo(linkPath(2)).symLinkTarget(), plain.fileName());

    // A stale link from a program that ended is replaced.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/999999"), linkPath(9)));
    ASSERT_TRUE(port.create(QStringLiteral("COM9")));
    EXPECT_EQ(QFileInfo(linkPath(9)).symLinkTarget(), port.devicePath());
}

TEST_F(VirtualSerialPortTest, FollowsTheProgramThatOpensItAndCarriesItsData) {
    VirtualSerialPort port;
    ASSERT_TRUE(port.create(QStringLiteral("COM7")));
    port.setNotifications(true);
    QSignalSpy opened(&port, &VirtualSerialPort::openedChanged);
    QSignalSpy data(&port, &VirtualSerialPort::dataReceived);
    EXPECT_EQ(port.write("nobody listens"), 0);

    for (int round = 0; round < 2; ++round) {
        Endpoint program = Endpoint::openDevice(linkPath(7));
        ASSERT_TRUE(program.isOpen());
        ASSERT_TRUE(waitUntil([&] { return opened.size() == 2 * round + 1; }));
        EXPECT_TRUE(opened.back().at(0).toBool());
        EXPECT_TRUE(port.isOpened());

        const QByteArray written = patternBytes(100000);
        ASSERT_TRUE(program.send(written));
        QByteArray received;
        ASSERT_TRUE(waitUntil([&] {
            received += port.read(port.waitingCount());
            return received.size() >= written.size();
        }));
        EXPECT_TRUE(received == written);
        EXPECT_FALSE(data.isEmpty());

        // Raw both ways: CR LF arrive as sent, and nothing is echoed back.
        const QByteArray reply = "line\r\n" + patternBytes(50000);
        EXPECT_EQ(port.write(reply), reply.size());
        EXPECT_TRUE(program.receive(reply.size()) == reply);
        pumpEvents(50);
        EXPECT_EQ(port.waitingCount(), 0);

        program.close();
        ASSERT_TRUE(waitUntil([&] { return opened.size() == 2 * round + 2; }));
        EXPECT_FALSE(opened.back().at(0).toBool());
        EXPECT_FALSE(port.isOpened());
    }
}

TEST_F(VirtualSerialPortTest, WithoutTheOptionItOnlyKeepsCount) {
    VirtualSerialPort port;
    ASSERT_TRUE(port.create(QStringLiteral("COM4")));
    QSignalSpy opened(&port, &VirtualSerialPort::openedChanged);
    QSignalSpy data(&port, &VirtualSerialPort::dataReceived);
    Endpoint program = Endpoint::openDevice(linkPath(4));
    ASSERT_TRUE(waitUntil([&] { return port.isOpened(); }));
    ASSERT_TRUE(program.send("abc"));
    ASSERT_TRUE(waitUntil([&] { return port.waitingCount() == 3; }));
    EXPECT_TRUE(port.discard());
    EXPECT_EQ(port.waitingCount(), 0);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(data.isEmpty());
}

TEST_F(VirtualSerialPortTest, DeletingHangsUpTheProgram) {
    VirtualSerialPort port;
    ASSERT_TRUE(port.create(QStringLiteral("COM3")));
    port.setNotifications(true);
    QSignalSpy opened(&port, &VirtualSerialPort::openedChanged);
    Endpoint program = Endpoint::openDevice(linkPath(3));
    ASSERT_TRUE(waitUntil([&] { return port.isOpened(); }));
    ASSERT_TRUE(port.deletePort());
    EXPECT_TRUE(program.waitForEnd());
    EXPECT_FALSE(QFileInfo(linkPath(3)).isSymLink());
    pumpEvents(50);
    EXPECT_EQ(opened.size(), 1); // deleting raises no notification
}

TEST_F(VirtualSerialPortTest, ResetBusRemovesOnlyLinksToVanishedPseudoTerminals) {
    VirtualSerialPort live;
    ASSERT_TRUE(live.create(QStringLiteral("COM1")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/999998"), linkPath(2)));
    ASSERT_TRUE(QFile::link(path("missing-adapter"), linkPath(3)));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/999997"), path("notes")));

    VirtualSerialPort other;
    other.ResetBus();
    EXPECT_TRUE(QFileInfo(linkPath(1)).isSymLink());   // a live port
    EXPECT_FALSE(QFileInfo(linkPath(2)).isSymLink());  // a vanished pseudo-terminal
    EXPECT_TRUE(QFileInfo(linkPath(3)).isSymLink());   // a user's device, unplugged
    EXPECT_TRUE(QFileInfo(path("notes")).isSymLink()); // not a port's name
}

TEST_F(VirtualSerialPortTest, EndingTheObjectDeletesThePort) {
    QString device;
    {
        VirtualSerialPort port;
        ASSERT_TRUE(port.create(QStringLiteral("COM8")));
        device = port.devicePath();
    }
    EXPECT_FALSE(QFileInfo(linkPath(8)).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(device));
}

} // namespace
