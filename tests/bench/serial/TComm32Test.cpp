#include "bench/serial/Tcomm32.h"
#include "tests/bench/serial/FakeModemLines.h"
#include "tests/bench/serial/PortFolderTest.h"
#include "tests/support/TestWait.h"

#include <QDir>

#include <gtest/gtest.h>

#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace ZaldoComm32;

namespace {

int threadCount() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task"))
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                .size());
}

QByteArray pattern(int count, int seed = 0) {
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed) % 253);
    return bytes;
}

const std::uint8_t* bytesOf(const QByteArray& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

// Every notification the engine raised, from whichever thread.
class NotifyLog {
public:
    void attach(TComm32& comm) {
        comm.SetOnCommNotify([this](TComm32&, int events) {
            std::lock_guard lock(m_mutex);
            m_events.push_back(events);
        });
    }
    std::vector<int> events() const {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    bool seen(int bits) const {
        std::lock_guard lock(m_mutex);
        for (int events : m_events)
            if ((events & bits) == bits) return true;
        return false;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_events.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_events;
};

class TComm32Test : public PortFolderTest {
protected:
    void SetUp() override {
        PortFolderTest::SetUp();
        m_pty = publishPort(1);
        m_comm = std::make_unique<TComm32>();
        m_comm->SetPortNo(1);
        m_log.attach(*m_comm);
    }
    void TearDown() override {
        m_comm.reset();
        PortFolderTest::TearDown();
    }

    // Takes `count` bytes from the engine within the deadline.
    QByteArray readFromEngine(int count, int chunk = 4096, int timeoutMs = 5000) {
        QByteArray got;
        std::vector<std::uint8_t> buf(chunk);
        waitUntil(
            [&] {
                const int n = m_comm->Read(buf.data(), chunk);
                got.append(reinterpret_cast<const char*>(buf.data()), n);
                return got.size() >= count;
            },
            timeoutMs);
        return got;
    }

    // The far end sends `bytes` while this thread takes them from the engine `chunk` bytes at
    // a time (the engine holds back what does not fit, so both must run at once).
    QByteArray receiveWhileSending(const QByteArray& bytes, int chunk) {
        std::thread sender([&] { m_pty->send(bytes, 20000); });
        const QByteArray got = readFromEngine(bytes.size(), chunk, 20000);
        sender.join();
        return got;
    }

    // Queues all of `bytes` while the far end takes `expected` bytes (the port holds back what
    // the far end does not read, so both must run at once); returns what the far end got.
    QByteArray sendWhileReceiving(const QByteArray& bytes, int expected) {
        QByteArray got;
        std::thread receiver([&] { got = m_pty->receive(expected, 20000); });
        EXPECT_TRUE(writeToEngine(bytes));
        receiver.join();
        return got;
    }

    // Queues all of `bytes`, waiting for room whenever Write takes only a part.
    bool writeToEngine(const QByteArray& bytes) {
        qsizetype done = 0;
        return waitUntil([&] {
            done += m_comm->Write(bytesOf(bytes) + done, static_cast<int>(bytes.size() - done));
            return done == bytes.size();
        });
    }

    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<TComm32> m_comm;
    NotifyLog m_log;
};

} // namespace

TEST_F(TComm32Test, BytesBothWaysInOrder) {
    m_comm->Open();
    ASSERT_TRUE(m_comm->Opened());
    const QByteArray out = pattern(20000);
    EXPECT_EQ(sendWhileReceiving(out, out.size()), out);
    EXPECT_TRUE(waitUntil([&] { return m_log.seen(EV_TXEMPTY); })) << "output drained";

    const QByteArray in = pattern(30000, 5);
    EXPECT_EQ(receiveWhileSending(in, 4096), in);
    EXPECT_TRUE(m_log.seen(EV_RXCHAR));
}

// The reader stops taking bytes while the input queue is full; they wait in the port and
// arrive once the consumer makes room, none lost.
TEST_F(TComm32Test, SlowConsumerLosesNothing) {
    m_comm->SetInBufSize(1000);
    m_comm->Open();
    const QByteArray in = pattern(200000, 3);
    const QByteArray got = receiveWhileSending(in, 300);
    EXPECT_EQ(got.size(), in.size());
    EXPECT_TRUE(got == in);
}

// Write takes what fits and says so; the rest follows as the queue drains, however small.
TEST_F(TComm32Test, PartialWritesAndSmallQueues) {
    const QByteArray big = pattern(10000);
    EXPECT_EQ(m_comm->Write(bytesOf(big), big.size()), 8191) << "closed: queued, not sent";
    m_comm->Open();
    EXPECT_EQ(m_pty->receive(8191), big.left(8191));
    m_comm->Close();

    m_comm->SetOutBufSize(100);
    EXPECT_EQ(m_comm->Write(bytesOf(big), big.size()), 99);
    m_comm->PurgeWrite(false); // closed: does nothing
    EXPECT_EQ(m_comm->OutQueue().count(), 99);
    m_comm->Open();
    const QByteArray rest = big.mid(99, 5000);
    EXPECT_EQ(sendWhileReceiving(rest, 99 + rest.size()), big.left(99 + rest.size()));
}

TEST_F(TComm32Test, DisabledWritingStillTakesCommands) {
    m_comm->Open();
    m_comm->SetDisableWrite(true);
    EXPECT_EQ(m_comm->Write(bytesOf("abc"), 3), 0);
    m_comm->fSetFCtrl(3); // closes
    m_comm->SetAutoAnswer(2);
    m_comm->Open();
    EXPECT_FALSE(m_comm->DisableWrite()) << "cleared by Open";
    m_comm->SetDisableWrite(true);
    EXPECT_EQ(m_comm->InitModem(), 12);
    EXPECT_EQ(m_comm->ResetModem(), 4);
    EXPECT_EQ(m_pty->receive(16), QByteArray("ATE0&K3S0=2\rATZ\r"));
}

TEST_F(TComm32Test, MissingDeviceRaisesCode4AndLeavesNoThread) {
    const int before = threadCount();
    m_comm->SetPortNo(77); // no link: /dev/ttyS76
    try {
        m_comm->Open();
        FAIL() << "opened a missing port";
    } catch (const EComm32Error& error) {
        EXPECT_EQ(error.ErrorCode(), 4);
        EXPECT_EQ(error.Message(), EComm32Error::text(4, systemLanguage()));
    }
    EXPECT_FALSE(m_comm->Opened());
    EXPECT_EQ(m_comm->Handle(), -1);
    EXPECT_EQ(threadCount(), before);
    EXPECT_TRUE(m_log.events().empty());
}

TEST_F(TComm32Test, SecondOpenOfOnePortFails) {
    m_comm->Open();
    TComm32 other;
    other.SetPortNo(1);
    try {
        other.Open();
        FAIL() << "one port opened twice";
    } catch (const EComm32Error& error) {
        EXPECT_EQ(error.ErrorCode(), 4);
    }
    m_comm->Close();
    EXPECT_NO_THROW(other.Open());
}

TEST_F(TComm32Test, SettingsThePortRefusesRaiseCode8) {
    m_comm->Dcb().ByteSize = 9;
    try {
        m_comm->Open();
        FAIL();
    } catch (const EComm32Error& error) {
        EXPECT_EQ(error.ErrorCode(), 8);
    }
    EXPECT_FALSE(m_comm->Opened());
    m_comm->Dcb().ByteSize = 8;
    EXPECT_NO_THROW(m_comm->Open()) << "the port was released";
}

TEST_F(TComm32Test, OpenAndCloseNotifyAndCallTheHooksInOrder) {
    std::vector<std::string> calls;
    m_comm->SetOnCommNotify([&](TComm32&, int events) {
        if (events == EV_MODEM_LINES) calls.push_back("lines");
        throw std::runtime_error("swallowed");
    });
    m_comm->SetAfterOpen([&](TComm32&) { calls.push_back("after open"); });
    m_comm->SetBeforeClose([&](TComm32&) {
        calls.push_back("before close");
        throw 1;
    });
    m_comm->Close();
    EXPECT_TRUE(calls.empty()) << "closing a closed engine is silent";
    m_comm->Open();
    m_comm->Close();
    EXPECT_EQ(calls, (std::vector<std::string>{"lines", "after open", "before close", "lines"}));
}

// The far end goes away: reported once as EV_ERR, no thread spins, Close is clean, and the
// port opens again when it is back.
TEST_F(TComm32Test, HangUpIsReportedAndThePortOpensAgain) {
    const int before = threadCount();
    m_comm->Open();
    ASSERT_TRUE(m_pty->send("partial"));
    ASSERT_TRUE(waitUntil([&] { return m_comm->InQueue().count() == 7; }));
    m_pty->closeMaster();
    ASSERT_TRUE(waitUntil([&] { return m_log.seen(EV_ERR); }, 1000));
    EXPECT_TRUE(m_comm->hungUp());
    EXPECT_EQ(readFromEngine(7, 64, 1000), QByteArray("partial")) << "taken before the hang-up";

    rusage start{};
    getrusage(RUSAGE_SELF, &start);
    m_comm->Write(bytesOf("more"), 4);
    pumpEvents(400);
    rusage end{};
    getrusage(RUSAGE_SELF, &end);
    const auto micros = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec +
               r.ru_stime.tv_usec;
    };
    EXPECT_LT(micros(end) - micros(start), 150000) << "a worker spins on the dead port";
    int errors = 0;
    for (int events : m_log.events())
        errors += (events & EV_ERR) != 0;
    EXPECT_EQ(errors, 1);

    EXPECT_NO_THROW(m_comm->Close());
    EXPECT_EQ(threadCount(), before);
    m_pty = publishPort(1);
    m_comm->Open();
    EXPECT_FALSE(m_comm->hungUp());
    ASSERT_TRUE(m_pty->send("back"));
    EXPECT_EQ(readFromEngine(4), QByteArray("back"));
}

// The reader is not watching a port whose input queue is full; the hang-up still shows.
TEST_F(TComm32Test, HangUpWithAFullInputQueue) {
    m_comm->SetInBufSize(64);
    m_comm->Open();
    ASSERT_TRUE(m_pty->send(pattern(1000)));
    ASSERT_TRUE(waitUntil([&] { return m_comm->InQueue().room() == 0; }));
    m_pty->closeMaster();
    EXPECT_TRUE(waitUntil([&] { return m_log.seen(EV_ERR); }, 1000));
    EXPECT_NO_THROW(m_comm->Close());
}

// A purge (or a resize) of a full input queue makes room as a Read does: the reader, which
// had stopped taking bytes, resumes.
TEST_F(TComm32Test, PurgingAFullInputQueueResumesReading) {
    m_comm->SetInBufSize(64);
    m_comm->Open();
    ASSERT_TRUE(m_pty->send(pattern(63)));
    ASSERT_TRUE(waitUntil([&] { return m_comm->InQueue().room() == 0; }));
    m_comm->PurgeRead(true);
    EXPECT_EQ(m_comm->InQueue().count(), 0);
    ASSERT_TRUE(m_pty->send("fresh"));
    EXPECT_EQ(readFromEngine(5, 64, 2000), QByteArray("fresh"));

    ASSERT_TRUE(m_pty->send(pattern(63)));
    ASSERT_TRUE(waitUntil([&] { return m_comm->InQueue().room() == 0; }));
    m_comm->SetInBufSize(128);
    ASSERT_TRUE(m_pty->send("again"));
    EXPECT_EQ(readFromEngine(5, 64, 2000), QByteArray("again"));
}

class ModemLinesTest : public TComm32Test {
protected:
    void SetUp() override {
        TComm32Test::SetUp();
        m_comm->SetModemLines(m_lines);
    }
    FakeModemLines m_lines;
};

TEST_F(ModemLinesTest, DtrAndRtsAcrossOpenAndClose) {
    m_comm->fSetDTR(false);
    EXPECT_FALSE(m_comm->fGetDTR()) << "closed";
    m_comm->Open();
    EXPECT_EQ(m_lines.lastSet(TIOCM_DTR), 0);
    EXPECT_EQ(m_lines.lastSet(TIOCM_RTS), 1);
    EXPECT_FALSE(m_comm->fGetDTR());
    EXPECT_TRUE(m_comm->fGetRTS());

    m_comm->fSetRTS(false);
    EXPECT_EQ(m_lines.lastSet(TIOCM_RTS), 0);
    EXPECT_FALSE(m_comm->fGetRTS());
    m_lines.setRefuse(true);
    EXPECT_FALSE(m_comm->EscapeCommFunction(SETRTS));
    EXPECT_FALSE(m_comm->fGetRTS());
    EXPECT_FALSE(m_comm->EscapeCommFunction(9)) << "not a line code";
    m_lines.setRefuse(false);

    // The record now says DTR off, so it stays off across Close; RTS follows the record (on).
    m_comm->Close();
    EXPECT_FALSE(m_comm->EscapeCommFunction(SETDTR)) << "closed";
    m_comm->Open();
    EXPECT_FALSE(m_comm->fGetDTR());
    EXPECT_TRUE(m_comm->fGetRTS());
    m_comm->Close();

    // A choice made while closed is replaced by the record at any Close before the next Open.
    m_comm->Dcb().fDtrControl = DTR_CONTROL_ENABLE;
    m_comm->fSetDTR(false);
    m_comm->Close();
    m_comm->Open();
    EXPECT_TRUE(m_comm->fGetDTR());
    EXPECT_EQ(m_lines.lastSet(TIOCM_DTR), 1);
}

TEST_F(ModemLinesTest, LineChangesAndRingsAreNotified) {
    m_comm->SetTimerInterval(5);
    m_comm->Open();
    m_log.clear();
    m_lines.setLines(TIOCM_CAR | TIOCM_CTS);
    ASSERT_TRUE(waitUntil([&] { return m_log.seen(EV_RLSD | EV_CTS); }));
    EXPECT_EQ(m_comm->ModemStatus(), MS_RLSD_ON | MS_CTS_ON);

    m_lines.setLines(TIOCM_RNG); // carrier gone, the line rings
    ASSERT_TRUE(waitUntil([&] { return m_log.seen(EV_RING); }));
    m_comm->Close();
    EXPECT_EQ(m_comm->ModemStatus(), 0u) << "cleared by Close";
}

TEST_F(ModemLinesTest, LinesThatCannotBeReadMeanThePortIsGone) {
    m_comm->SetTimerInterval(5);
    m_comm->Open();
    m_lines.setGone(true);
    EXPECT_TRUE(waitUntil([&] { return m_log.seen(EV_ERR); }, 1000));
    EXPECT_TRUE(m_comm->hungUp());
}
