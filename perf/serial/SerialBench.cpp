// 100 MB each way through a pseudo-terminal pair: the engine (Write drained by its write
// thread, Read fed by its read thread) against plain write/read on the same pair, the ceiling.
// Prints MB/s and CPU seconds per MB of the whole process for each, and the engine's figures
// as a share of the plain ones.
#include "bench/serial/Tcomm32.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace ZaldoComm32;

namespace {

constexpr long long Total = 100LL * 1024 * 1024;
constexpr int Block = 64 * 1024;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
    double mbPerSecond = 0;
    double cpuPerMb = 0;
    bool complete = true;
};

// Runs `body`, which returns the bytes that arrived, and measures it.
template <typename Body> Figures measure(Body body) {
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const long long arrived = body();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double mb = Total / (1024.0 * 1024.0);
    return {mb / seconds, (cpuSeconds() - cpu0) / mb, arrived == Total};
}

// The median of each figure over the rounds: the machine is shared, single runs wander.
Figures median(std::vector<Figures> rounds) {
    const auto middle = [&](auto field) {
        std::vector<double> values;
        for (const Figures& f : rounds)
            values.push_back(f.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    bool complete = true;
    for (const Figures& f : rounds)
        complete = complete && f.complete;
    return {middle(&Figures::mbPerSecond), middle(&Figures::cpuPerMb), complete};
}

void writeAll(int fd, long long total) {
    std::vector<char> block(Block, 'x');
    long long done = 0;
    while (done < total) {
        const ssize_t n = write(fd, block.data(), std::min<long long>(Block, total - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR)
            return;
    }
}

long long readAll(int fd, long long total) {
    std::vector<char> block(Block);
    long long done = 0;
    while (done < total) {
        const ssize_t n = read(fd, block.data(), Block);
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR)
            break;
    }
    return done;
}

// Wakes a waiting caller when the engine reports the events it waits for. The flag stays
// raised until the caller has looked, so no report is lost between a look and a wait.
class EngineSignal {
public:
    void attach(TComm32& comm, int events) {
        comm.SetOnCommNotify([this, events](TComm32&, int raised) {
            if (raised & events) {
                m_raised.store(true);
                m_raised.notify_one();
            }
        });
    }
    void wait() {
        m_raised.wait(false);
        m_raised.store(false);
    }

private:
    std::atomic<bool> m_raised = false;
};

} // namespace

int main(int argc, char** argv) {
    // SerialBench [rounds]
    const int roundCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir folder;
    qputenv("COMPORTS_DIR", QFile::encodeName(folder.path()));
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    QFile::link(QString::fromLocal8Bit(name), folder.filePath(QStringLiteral("com1")));

    const auto plainOut = [&] {
        std::thread writer([&] { writeAll(slave, Total); });
        const long long got = readAll(master, Total);
        writer.join();
        return got;
    };
    const auto plainIn = [&] {
        std::thread writer([&] { writeAll(master, Total); });
        const long long got = readAll(slave, Total);
        writer.join();
        return got;
    };

    // How the caller waits when Write found the output queue full or Read found the input
    // queue empty: polling, as the bench's window does on its timer (with queues sized for
    // the interval), or woken by the engine's notification (EV_TXEMPTY, EV_RXCHAR).
    struct Caller {
        const char* out;
        const char* in;
        std::int32_t queueSize;
        bool polls;
    };
    const Caller callers[] = {
        {"TComm32::Write, polled, 1 MiB", "TComm32::Read, polled, 1 MiB", 1 << 20, true},
        {"TComm32::Write, on events, 8 KiB", "TComm32::Read, on events, 8 KiB", 8192, false},
    };
    TComm32 comm;
    comm.SetPortNo(1);
    EngineSignal signal;
    const auto wait = [&](const Caller& caller) {
        if (caller.polls)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        else
            signal.wait();
    };
    const auto engineOut = [&](const Caller& caller) {
        comm.SetOutBufSize(caller.queueSize);
        signal.attach(comm, EV_TXEMPTY);
        comm.Open();
        long long got = 0;
        std::thread reader([&] { got = readAll(master, Total); });
        std::vector<std::uint8_t> block(Block, 'x');
        long long done = 0;
        while (done < Total) {
            const int n = comm.Write(block.data(),
                                     static_cast<int>(std::min<long long>(Block, Total - done)));
            done += n;
            if (n < Block && done < Total) wait(caller);
        }
        reader.join();
        comm.Close();
        return got;
    };
    const auto engineIn = [&](const Caller& caller) {
        comm.SetInBufSize(caller.queueSize);
        signal.attach(comm, EV_RXCHAR);
        comm.Open();
        std::thread writer([&] { writeAll(master, Total); });
        std::vector<std::uint8_t> block(Block);
        long long got = 0;
        while (got < Total) {
            const int n = comm.Read(block.data(), Block);
            got += n;
            if (n == 0) wait(caller);
        }
        writer.join();
        comm.Close();
        return got;
    };

    // Interleaved rounds, so that a busy spell of the machine hits every case alike. The
    // engine opens the slave itself; the plain runs use it while the engine is closed.
    std::vector<Figures> rounds[6];
    for (int round = 0; round < roundCount; ++round) {
        rounds[0].push_back(measure(plainOut));
        rounds[1].push_back(measure([&] { return engineOut(callers[0]); }));
        rounds[2].push_back(measure([&] { return engineOut(callers[1]); }));
        rounds[3].push_back(measure(plainIn));
        rounds[4].push_back(measure([&] { return engineIn(callers[0]); }));
        rounds[5].push_back(measure([&] { return engineIn(callers[1]); }));
    }
    std::printf("100 MB through a pseudo-terminal pair, median of %d rounds\n", roundCount);
    std::printf("%-36s %8s %12s   %s\n", "", "MB/s", "CPU s/MB", "of plain: speed, CPU/MB");
    const char* names[6] = {"plain write -> far end", callers[0].out, callers[1].out,
                            "far end -> plain read",  callers[0].in,  callers[1].in};
    for (int i = 0; i < 6; ++i) {
        const Figures f = median(rounds[i]);
        const Figures plain = median(rounds[i < 3 ? 0 : 3]);
        std::printf("%-36s %8.1f %12.5f", names[i], f.mbPerSecond, f.cpuPerMb);
        if (i % 3 != 0)
            std::printf("   %.2f, %.2f", f.mbPerSecond / plain.mbPerSecond,
                        f.cpuPerMb / plain.cpuPerMb);
        std::printf("%s\n", f.complete ? "" : "  (BYTES MISSING)");
    }
    close(slave);
    close(master);
    return 0;
}
