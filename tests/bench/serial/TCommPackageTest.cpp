#include "bench/serial/Tcommpkg.h"
#include "tests/bench/serial/PortFolderTest.h"
#include "tests/support/TestWait.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace ZaldoComm32;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

QByteArray frameOf(const QByteArray& data, bool doubleMark) {
    std::vector<std::uint8_t> out(2 * data.size() + 4);
    const std::uint32_t n =
        TCommPackage::encodeFrame(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                  data.size(), 0xEB, 0xEE, 0xEC, doubleMark, out.data());
    return QByteArray(reinterpret_cast<const char*>(out.data()), n);
}

struct FrameCase {
    const char* data;
    bool doubleMark;
    const char* wire;
};

class WireFormat : public ::testing::TestWithParam<FrameCase> {};

} // namespace

TEST_P(WireFormat, EncodesWithEscapesAndMarks) {
    EXPECT_EQ(frameOf(hex(GetParam().data), GetParam().doubleMark).toHex(' '),
              hex(GetParam().wire).toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Table, WireFormat,
                         ::testing::Values(FrameCase{"01eb02", true, "ebeb01eceb02eeee"},
                                           FrameCase{"", true, "ebebeeee"},
                                           FrameCase{"ebeeec", true, "ebebecebeceeececeeee"},
                                           FrameCase{"ebeeec", false, "ebecebeceeececee"},
                                           FrameCase{"55", false, "eb55ee"}));

TEST(TCommPackageQueue, HoldsOneRecordLessThanItsSlots) {
    TCommPackageQueue queue(1, 8); // folded to 2 slots of 32 bytes
    EXPECT_EQ(queue.Count(), 2);
    EXPECT_EQ(queue.ElementSize(), 32);
    const std::uint8_t data[28] = {1, 2, 3};
    EXPECT_EQ(queue.In(data, 29), 0) << "longer than a slot";
    EXPECT_EQ(queue.In(data, 28), 1);
    EXPECT_EQ(queue.In(data, 1), 0) << "full";
    ASSERT_NE(queue.Front(), nullptr);
    EXPECT_EQ(recordLength(queue.Front()), 28u);
    EXPECT_EQ(queue.Front()[6], 3);
    queue.Pop();
    EXPECT_EQ(queue.Front(), nullptr);
    queue.Pop(); // empty: nothing happens
    EXPECT_EQ(queue.held(), 0);
}

namespace {

// A package layer over an engine on a pseudo-terminal; the test plays the far end.
class PackageTest : public PortFolderTest {
protected:
    void SetUp() override {
        PortFolderTest::SetUp();
        m_pty = publishPort(1);
        m_comm = std::make_unique<TComm32>();
        m_comm->SetPortNo(1);
        m_package = std::make_unique<TCommPackage>(*m_comm);
        m_package->SetOnPackage([this](TCommPackage&, int events) {
            if (events & EV_RXCHAR) ++m_received;
        });
    }
    void TearDown() override {
        m_comm->Close();
        m_package.reset();
        m_comm.reset();
        PortFolderTest::TearDown();
    }

    void start(TCommPackageType type) {
        m_package->fSetPkgType(type);
        m_comm->Open();
        m_package->fSetActive(true);
    }

    // The next package's data, waiting for it within the deadline.
    QByteArray nextPackage(int timeoutMs = 3000) {
        std::vector<std::uint8_t> data;
        waitUntil(
            [&] {
                // Once a package is queued only this thread removes it, so the peek holds.
                if (m_package->InQueue().held() == 0) return false;
                data.resize(m_package->ReadPackage(nullptr, 0) + 1);
                data.resize(m_package->ReadPackage(data.data(), data.size()));
                return true;
            },
            timeoutMs);
        return QByteArray(reinterpret_cast<const char*>(data.data()), data.size());
    }

    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<TComm32> m_comm;
    std::unique_ptr<TCommPackage> m_package;
    std::atomic<int> m_received = 0;
};

} // namespace

TEST_F(PackageTest, DecodesFramesOutOfNoise) {
    start(cptFrameHeadTail);
    struct Case {
        const char* wire;
        const char* data;
    };
    const Case cases[] = {
        {"55ebeb01eeee", "01"},             // noise before the head
        {"ebebecebeceeececeeee", "ebeeec"}, // escaped frame bytes, double marks
        {"eb01eceb02ee", "01eb02"},         // single marks
        {"ecebee eb0102 eb03ee", "03"},     // escaped head outside; head restarts
        {"ebebeeee", ""},                   // empty package
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(m_pty->send(hex(c.wire)));
        EXPECT_EQ(nextPackage().toHex(), hex(c.data).toHex()) << c.wire;
    }
    EXPECT_EQ(m_package->ReadPackage(nullptr, 0), 0u);
    EXPECT_GE(m_received.load(), 1);
}

TEST_F(PackageTest, PeekLeavesThePackageQueued) {
    start(cptFrameHeadTail);
    ASSERT_TRUE(m_pty->send(hex("eb010203ee")));
    ASSERT_TRUE(waitUntil([&] { return m_package->ReadPackage(nullptr, 0) == 3; }));
    EXPECT_EQ(m_package->ReadPackage(nullptr, 0), 3u);
    std::uint8_t two[2] = {};
    EXPECT_EQ(m_package->ReadPackage(two, 2), 2u) << "cut to the buffer, package removed";
    EXPECT_EQ(two[1], 2);
    EXPECT_EQ(m_package->ReadPackage(nullptr, 0), 0u);
}

TEST_F(PackageTest, TooLongPackagesAreCutAndCounted) {
    m_package->fSetPkgSz(8);
    start(cptFrameHeadTail);
    ASSERT_TRUE(m_pty->send(hex("eb000102030405060708090aee") + hex("eb0102ee")));
    EXPECT_EQ(nextPackage().toHex(), QByteArray("0001020304050607"));
    EXPECT_EQ(nextPackage().toHex(), QByteArray("0102"));
    EXPECT_EQ(m_package->truncatedPackages(), 1u);
}

TEST_F(PackageTest, FullInputQueueDropsAndCounts) {
    m_package->fSetQSize(1); // two slots: one package
    EXPECT_EQ(m_package->QueueSize(), 1);
    EXPECT_EQ(m_package->InQueue().Count(), 2);
    start(cptFrameHeadTail);
    ASSERT_TRUE(m_pty->send(hex("eb01ee eb02ee eb03ee")));
    ASSERT_TRUE(waitUntil([&] { return m_package->droppedPackages() == 2; }));
    EXPECT_EQ(nextPackage().toHex(), QByteArray("01"));
}

TEST_F(PackageTest, WritesFramesAndCutsLongPackages) {
    m_package->fSetPkgSz(16);
    start(cptFrameHeadTail);
    const QByteArray data = QByteArray(26, 'x');
    EXPECT_EQ(m_package->WritePackage(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                      data.size()),
              16u);
    EXPECT_EQ(m_package->WritePackage(reinterpret_cast<const std::uint8_t*>("\xEB"), 1), 1u);
    EXPECT_EQ(m_package->WritePackage(nullptr, 5), 0u);
    const QByteArray wire = frameOf(data.left(16), true) + frameOf("\xEB", true);
    EXPECT_EQ(m_pty->receive(wire.size()).toHex(' '), wire.toHex(' '));
}

// Records go out one after another as the engine drains, until the output queue is full.
TEST_F(PackageTest, FullOutputQueueRefusesAndTheRestFollowsTheDrain) {
    m_package->fSetPkgType(cptFrameHeadTail);
    m_package->fSetActive(true); // on, while the port is still closed
    m_comm->SetOutBufSize(32);
    const QByteArray data(40, 'p');
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    int accepted = 0;
    while (m_package->WritePackage(bytes, data.size()) != 0 && accepted < 100)
        ++accepted;
    EXPECT_EQ(accepted, 16) << "one being sent, fifteen waiting";
    m_comm->Open();
    const QByteArray frame = frameOf(data, true);
    EXPECT_EQ(m_pty->receive(frame.size() * accepted, 10000), frame.repeated(accepted));
    EXPECT_EQ(m_package->OutQueue().held(), 0);
}

TEST_F(PackageTest, CompatibleRecordsRoundTrip) {
    start(cptCompatiblePkg);
    std::vector<std::uint8_t> record(m_package->PackageSize() + 4);
    const std::uint32_t length = 3;
    std::memcpy(record.data(), &length, 4);
    record[4] = 0xEB;
    record[5] = 0x10;
    record[6] = 0xEE;
    EXPECT_EQ(m_package->WritePackage(record.data(), 0), 1u);
    const QByteArray wire = m_pty->receive(frameOf(hex("eb10ee"), true).size());
    EXPECT_EQ(wire.toHex(), frameOf(hex("eb10ee"), true).toHex());
    EXPECT_EQ(m_package->WritePackage(record.data(), 6), 0u) << "record longer than len";

    ASSERT_TRUE(m_pty->send(wire));
    ASSERT_TRUE(waitUntil([&] { return m_package->InQueue().held() == 1; }));
    std::uint8_t small[6];
    EXPECT_EQ(m_package->ReadPackage(small, sizeof small), 0u) << "does not fit: stays queued";
    std::vector<std::uint8_t> back(m_package->PackageSize() + 4);
    EXPECT_EQ(m_package->ReadPackage(back.data(), 0), 1u);
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + 7, back.begin()));
}

TEST_F(PackageTest, GapsCutTimeoutPackages) {
    m_package->fSetPkgInterval(50);
    m_package->fSetPkgSz(100);
    start(cptFrameTimeout);
    ASSERT_TRUE(m_pty->send("first"));
    QThread::msleep(200);
    ASSERT_TRUE(m_pty->send("second"));
    EXPECT_EQ(nextPackage(), QByteArray("first"));
    EXPECT_EQ(nextPackage(), QByteArray("second"));

    ASSERT_TRUE(m_pty->send(QByteArray(150, 'z')));
    EXPECT_EQ(nextPackage(), QByteArray(100, 'z'));
    EXPECT_EQ(m_package->truncatedPackages(), 1u);

    const char raw[] = "\xEB\x01";
    EXPECT_EQ(m_package->WritePackage(reinterpret_cast<const std::uint8_t*>(raw), 2), 2u);
    EXPECT_EQ(m_pty->receive(2), QByteArray(raw)) << "sent without framing";
}

TEST_F(PackageTest, InactiveLayerPassesBytesThrough) {
    m_package->fSetPkgType(cptFrameTimeout);
    m_comm->Open();
    EXPECT_EQ(m_package->WritePackage(reinterpret_cast<const std::uint8_t*>("ab"), 2), 0u);
    ASSERT_TRUE(m_pty->send("raw"));
    ASSERT_TRUE(waitUntil([&] { return m_comm->InQueue().count() == 3; }));
    QThread::msleep(120); // two intervals: an idle layer must not take them
    EXPECT_EQ(m_comm->InQueue().count(), 3);
    EXPECT_EQ(m_package->ReadPackage(nullptr, 0), 0u);
}
