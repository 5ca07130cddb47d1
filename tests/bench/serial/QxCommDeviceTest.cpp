#include "bench/serial/Qxcommdevice.h"
#include "tests/bench/serial/PortFolderTest.h"
#include "tests/support/TestWait.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace ZaldoComm32;

namespace {

class DeviceTest : public PortFolderTest {
protected:
    void SetUp() override {
        PortFolderTest::SetUp();
        m_pty = publishPort(4);
        m_device = std::make_unique<TQxCommDevice>();
        m_device->setPortNo(4);
        QObject::connect(m_device.get(), &TQxCustomCommDevice::OnCommNotify, [this](int events) {
            std::lock_guard lock(m_mutex);
            m_events.push_back(events);
            m_onGuiThread = m_onGuiThread && QThread::currentThread() == qApp->thread();
        });
    }
    void TearDown() override {
        m_device.reset();
        PortFolderTest::TearDown();
    }

    std::vector<int> events() {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    bool seen(int bits) {
        for (int e : events())
            if (e & bits) return true;
        return false;
    }

    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<TQxCommDevice> m_device;
    std::mutex m_mutex;
    std::vector<int> m_events;
    bool m_onGuiThread = true;
};

} // namespace

TEST_F(DeviceTest, PropertiesFoldOutOfRangeValues) {
    TQxCommDevice& d = *m_device;
    EXPECT_EQ(d.PortNo(), 4);
    EXPECT_EQ(d.Baud(), br115200);
    d.setBaud(br14400);
    EXPECT_EQ(d.Comm().Dcb().BaudRate, 14400u);
    d.setBaud(static_cast<TBaudRate>(40));
    EXPECT_EQ(d.Comm().Dcb().BaudRate, 115200u);
    d.Comm().Dcb().BaudRate = 12345;
    EXPECT_EQ(d.Baud(), br115200) << "a rate the list does not name";

    d.setParity(ptSpaceParity);
    EXPECT_EQ(d.Parity(), ptSpaceParity);
    d.setParity(static_cast<TParity>(9));
    EXPECT_EQ(d.Comm().Dcb().Parity, 0);
    d.Comm().Dcb().Parity = 7;
    EXPECT_EQ(d.Parity(), ptNoParity);

    d.setByteSize(300);
    EXPECT_EQ(d.ByteSize(), 255);
    d.setByteSize(-1);
    EXPECT_EQ(d.ByteSize(), 0);

    d.setStopBits(sbOne_5_StopBits);
    EXPECT_EQ(d.StopBits(), sbOne_5_StopBits);
    d.setStopBits(static_cast<TStopBits>(5));
    EXPECT_EQ(d.StopBits(), sbOneStopBit);
    d.Comm().Dcb().StopBits = 9;
    EXPECT_EQ(d.StopBits(), sbOneStopBit);

    d.setFlowControl(fcTranXonXoff);
    EXPECT_EQ(d.FlowControl(), fcXonXoff);
    d.setFlowControl(fcRtsCtsXonXoff);
    EXPECT_EQ(d.FlowControl(), fcRtsCtsXonXoff);
    d.setFlowControl(static_cast<TFlowControl>(12));
    EXPECT_EQ(d.FlowControl(), fcNone);

    d.setAutoAnswer(300);
    EXPECT_EQ(d.AutoAnswer(), 255);
    d.setAutoAnswer(-4);
    EXPECT_EQ(d.AutoAnswer(), 0);

    d.setHwInSize(4000);
    d.setHwOutSize(5000);
    EXPECT_EQ(d.HwInSize(), 4000);
    EXPECT_EQ(d.HwOutSize(), 5000);
    d.setPackageSize(-7);
    EXPECT_EQ(d.PackageSize(), 0);
    d.setQueueSize(1);
    EXPECT_EQ(d.QueueSize(), 1);
    EXPECT_EQ(d.Package().InQueue().Count(), 2);
}

TEST_F(DeviceTest, LineSettersCloseTheBufferSettersDoNot) {
    m_device->setActive(true);
    ASSERT_TRUE(m_device->Active());
    ASSERT_TRUE(m_pty->send("unread"));
    ASSERT_TRUE(waitUntil([&] { return m_device->InQueue().count() == 6; }));
    m_device->setInBufSize(4096);
    EXPECT_TRUE(m_device->Active());
    EXPECT_EQ(m_device->InQueue().count(), 0) << "unread bytes discarded";
    EXPECT_EQ(m_device->InBufSize(), 4096);
    m_device->setAutoAnswer(3);
    m_device->setSyncEvents(true);
    EXPECT_TRUE(m_device->Active());

    for (auto closes :
         {+[](TQxCommDevice& d) { d.setBaud(br9600); }, +[](TQxCommDevice& d) { d.setPortNo(4); },
          +[](TQxCommDevice& d) { d.setParity(ptEvenParity); },
          +[](TQxCommDevice& d) { d.setByteSize(7); },
          +[](TQxCommDevice& d) { d.setStopBits(sbTwoStopBit); },
          +[](TQxCommDevice& d) { d.setFlowControl(fcNone); },
          +[](TQxCommDevice& d) { d.setHwOutSize(2048); }}) {
        m_device->setActive(true);
        closes(*m_device);
        EXPECT_FALSE(m_device->Active());
    }
}

TEST_F(DeviceTest, ReadAndWriteThroughTheQueues) {
    m_device->setActive(true);
    const QByteArray out("to the device");
    EXPECT_EQ(m_device->Write(reinterpret_cast<const std::uint8_t*>(out.constData()), out.size()),
              out.size());
    EXPECT_EQ(m_pty->receive(out.size()), out);
    ASSERT_TRUE(m_pty->send("from it"));
    QByteArray in;
    std::uint8_t buf[64];
    waitUntil([&] {
        in.append(reinterpret_cast<const char*>(buf), m_device->Read(buf, sizeof buf));
        return in.size() >= 7;
    });
    EXPECT_EQ(in, QByteArray("from it"));
}

TEST_F(DeviceTest, NotificationsArriveOnTheGuiThreadInOrder) {
    std::vector<std::string> calls;
    QObject::connect(m_device.get(), &TQxCustomCommDevice::AfterOpen,
                     [&] { calls.push_back("after open"); });
    QObject::connect(m_device.get(), &TQxCustomCommDevice::BeforeClose,
                     [&] { calls.push_back("before close"); });
    m_device->setActive(true);
    EXPECT_EQ(calls, std::vector<std::string>{"after open"}) << "at once, on this thread";
    EXPECT_TRUE(events().empty()) << "queued, not yet delivered";
    ASSERT_TRUE(m_pty->send("x"));
    ASSERT_TRUE(waitUntil([&] { return seen(EV_RXCHAR); }));
    m_device->setActive(false);
    EXPECT_EQ(calls.back(), "before close");
    ASSERT_TRUE(waitUntil([&] { return events().size() >= 3; }));
    const std::vector<int> got = events();
    EXPECT_EQ(got.front(), EV_MODEM_LINES);
    EXPECT_EQ(got.back(), EV_MODEM_LINES);
    EXPECT_TRUE(m_onGuiThread);
}

TEST_F(DeviceTest, WithoutSyncEventsNotificationsComeFromTheWorkers) {
    m_device->setSyncEvents(false);
    std::atomic<bool> fromWorker = false;
    QObject::connect(
        m_device.get(), &TQxCustomCommDevice::OnCommNotify, m_device.get(),
        [&](int events) {
            if (events & EV_RXCHAR) fromWorker = QThread::currentThread() != qApp->thread();
        },
        Qt::DirectConnection);
    m_device->setActive(true);
    ASSERT_TRUE(m_pty->send("y"));
    EXPECT_TRUE(waitUntil([&] { return fromWorker.load(); }));
    m_device->setActive(false);
}

TEST_F(DeviceTest, FailedOpeningRaisesAndLeavesItClosed) {
    m_device->setPortNo(40);
    try {
        m_device->setActive(true);
        FAIL() << "opened a missing port";
    } catch (const EComm32Error& error) {
        EXPECT_EQ(error.ErrorCode(), 4);
    }
    EXPECT_FALSE(m_device->Active());
    pumpEvents(50);
    EXPECT_TRUE(events().empty());
}

TEST_F(DeviceTest, UsePackageFollowsActive) {
    m_device->setPackageType(cptFrameHeadTail);
    m_device->setActive(true);
    m_device->setUsePackage(true);
    EXPECT_TRUE(m_device->Package().fGetActive());
    EXPECT_TRUE(m_device->Active());

    const std::uint8_t data[] = {0x01, 0xEB};
    EXPECT_EQ(m_device->Write(data, 2), 2) << "a package";
    EXPECT_EQ(m_pty->receive(7).toHex(), QByteArray("ebeb01ecebeeee"));
    ASSERT_TRUE(m_pty->send(QByteArray::fromHex("eb0203ee")));
    std::uint8_t buf[8] = {};
    ASSERT_TRUE(waitUntil([&] { return m_device->ReadPackage(nullptr, 0u) == 2; }));
    EXPECT_EQ(m_device->Read(buf, sizeof buf), 2);
    EXPECT_EQ(buf[1], 0x03);

    m_device->setBaud(br57600); // closes the port, the layer stays on
    EXPECT_TRUE(m_device->Package().fGetActive());
    EXPECT_FALSE(m_device->Active());
    m_device->setActive(true);
    EXPECT_TRUE(m_device->Active());
    m_device->setUsePackage(false);
    EXPECT_FALSE(m_device->Package().fGetActive());
    EXPECT_TRUE(m_device->Active());
}

TEST_F(DeviceTest, FrameSettingsCopyTheBytesNotTheDoubleMark) {
    TQxCommDevice other;
    other.FrameSettings().SetFrameHead(0x7E);
    other.FrameSettings().SetFrameTail(0x7F);
    other.FrameSettings().SetFrameCtrl(0x7D);
    other.FrameSettings().SetDoubleFrameMark(false);
    m_device->setFrameSettings(other.FrameSettings());
    EXPECT_EQ(m_device->Package().FrameHead(), 0x7E);
    EXPECT_EQ(m_device->Package().FrameTail(), 0x7F);
    EXPECT_EQ(m_device->Package().FrameCtrl(), 0x7D);
    EXPECT_TRUE(m_device->FrameSettings().DoubleFrameMark());
}

TEST_F(DeviceTest, HangUpShowsAsAnErrorAndThePortCloses) {
    m_device->setActive(true);
    m_pty->closeMaster();
    ASSERT_TRUE(waitUntil([&] { return seen(EV_ERR); }, 1000));
    EXPECT_TRUE(m_device->HungUp());
    EXPECT_NO_THROW(m_device->setActive(false));
    m_pty = publishPort(4);
    EXPECT_NO_THROW(m_device->setActive(true));
    EXPECT_FALSE(m_device->HungUp());
}

TEST_F(DeviceTest, ModemBitsAndLinesThroughTheEngine) {
    m_device->setActive(true);
    EXPECT_EQ(m_device->ModemStatus(), 0) << "a pty has no modem lines";
    EXPECT_FALSE(m_device->CTS() || m_device->DSR() || m_device->RING() || m_device->RLSD());
    EXPECT_TRUE(m_device->DTR());
    m_device->setRTS(false);
    EXPECT_FALSE(m_device->RTS());
    m_device->setDisableWrite(true);
    EXPECT_EQ(m_device->Write(reinterpret_cast<const std::uint8_t*>("z"), 1), 0);
}
