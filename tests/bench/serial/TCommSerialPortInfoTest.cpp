#include "bench/serial/TCommSerialPortInfo.h"
#include "tests/bench/serial/QStringPrinter.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using ZaldoComm32::SerialSystemFolders;
using ZaldoComm32::TCommSerialPortInfo;

namespace {

// A made-up /sys and port folder.
class PortListTest : public TempDirTest {
protected:
    SerialSystemFolders folders() const { return {path("sys"), path("comports")}; }

    // /sys/class/tty/<name>, with a device behind it unless `device` is false, and the UART
    // type attribute when one is given.
    void addTty(const QString& name, bool device, const QByteArray& type = {}) {
        const QString entry = path("sys/class/tty/") + name;
        ASSERT_TRUE(QDir().mkpath(entry));
        if (device) {
            ASSERT_TRUE(QDir().mkpath(entry + "/device"));
        }
        if (!type.isNull()) writeFile(entry + "/type", type);
    }
    // A link in the port folder; `target` relative to the test folder.
    void addLink(const QString& name, const QString& target) {
        ASSERT_TRUE(QDir().mkpath(path("comports")));
        ASSERT_TRUE(QFile::link(path(target), path("comports/") + name));
    }
    void writeFile(const QString& file, const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
};

} // namespace

TEST(TCommSerialPortInfoNames, PortNoReadsTheLeadingNumberOfAComName) {
    const std::pair<const char*, int> cases[] = {
        {"COM1", 1},
        {"com5", 5},
        {"cOm7", 7},
        {"COM12abc", 12},
        {"COM0", 0},
        {"LPT1", 0},
        {"COM", 0},
        {"CO", 0},
        {"", 0},
        {"COM-3", 0},
        {"COM 4", 0},
        {"XCOM4", 0},
        {"COM2147483647", 2147483647},
        {"COM2147483648", 0},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(TCommSerialPortInfo::PortNo(QString::fromUtf8(name)), number) << name;

    EXPECT_EQ(TCommSerialPortInfo::PortName(16), "COM16");
    const QStringList list = {"COM10", "COM2", "COM2"};
    EXPECT_GT(TCommSerialPortInfo::PortListSortCompare(list, 0, 1), 0) << "numeric, not text";
    EXPECT_LT(TCommSerialPortInfo::PortListSortCompare(list, 1, 0), 0);
    EXPECT_EQ(TCommSerialPortInfo::PortListSortCompare(list, 1, 2), 0);
}

TEST_F(PortListTest, ListsUartsAndPortFolderLinksByNumber) {
    addTty("ttyS0", true, "4\n");
    addTty("ttyS1", true);         // no type attribute: taken as present
    addTty("ttyS9", true, "4\n");  // COM10
    addTty("ttyS2", true, "0\n");  // placeholder without a UART
    addTty("ttyS3", false, "4\n"); // no device behind it
    addTty("ttyS4", true, "4\n");  // COM5, but the port folder's com5 decides
    addTty("ttyUSB0", true);       // no fixed number
    addTty("tty0", false);
    writeFile(path("usb-adapter"), {});
    ASSERT_TRUE(QDir().mkpath(path("a-folder")));
    addLink("com2", "usb-adapter"); // also ttyS1: listed once
    addLink("com4", "usb-adapter"); // the USB adapter, numbered by its link
    addLink("com5", "gone");        // dangling
    addLink("com7", "gone");
    addLink("COM6", "usb-adapter"); // names the port map does not open
    addLink("com06", "usb-adapter");
    addLink("com0", "usb-adapter");
    addLink("com8", "a-folder");

    TCommSerialPortInfo info(folders());
    EXPECT_EQ(info.ports(), QStringList({"COM1", "COM2", "COM4", "COM10"}));
    EXPECT_TRUE(info.listedFromSystem());
}

TEST_F(PortListTest, FallsBackToCom1ToCom4WhenNothingIsFound) {
    TCommSerialPortInfo info(folders()); // neither folder exists
    const QStringList fallback = {"COM1", "COM2", "COM3", "COM4"};
    EXPECT_EQ(info.ports(), fallback);
    EXPECT_FALSE(info.listedFromSystem());

    writeFile(path("adapter"), {});
    addLink("com9", "adapter");
    info.Refresh();
    EXPECT_EQ(info.ports(), QStringList({"COM9"}));
    EXPECT_TRUE(info.listedFromSystem());

    ASSERT_TRUE(QFile::remove(path("adapter")));
    addTty("ttyS5", true, "0");
    info.Refresh();
    EXPECT_EQ(info.ports(), fallback) << "nothing left from the earlier listing";
    EXPECT_FALSE(info.listedFromSystem());
}
