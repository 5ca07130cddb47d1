#pragma once

// The package layer over one engine: received bytes become packages in an input queue,
// packages put into an output queue go out framed. Two types frame packages with a head and
// a tail byte (an escape byte makes the data transparent), one cuts the stream at gaps.
//
// Threads: the head/tail decoder runs on the engine's read thread, the transmit step on the
// caller's thread (WritePackage) and on the engine's write thread (output drained), never both
// at once; the gap decoder runs on this layer's own timer thread. ReadPackage has one
// consumer and WritePackage one producer at a time; the setters, PurgeRead and PurgeWrite
// belong to the caller's thread and may run while bytes flow. The package hook is called on
// any of these threads, never under a lock of this layer; it is set while the engine is
// closed. Build the layer while its engine is closed and destroy it before the engine.

#include "bench/serial/TCommPackageQueue.h"
#include "bench/serial/Tcomm32.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ZaldoComm32 {

enum TCommPackageType { cptCompatiblePkg, cptFrameHeadTail, cptFrameTimeout };

class TCommPackage {
public:
    using TPackageNotifyEvent = std::function<void(TCommPackage& sender, int events)>;

    // Longest package this layer accepts; larger sizes are folded to it.
    static constexpr std::int32_t MaxPackageSize = 16 * 1024 * 1024;

    explicit TCommPackage(TComm32& comm);
    virtual ~TCommPackage();
    TCommPackage(const TCommPackage&) = delete;
    TCommPackage& operator=(const TCommPackage&) = delete;

    // 0 while inactive. cptCompatiblePkg: the oldest record (length word and data) into buf,
    // 1 when there was one; len 0 means buf holds a whole record (PackageSize + 4 bytes),
    // otherwise a record that does not fit in len stays queued. Other types: without buf or
    // len, the oldest package's length (it stays queued); else min(len, its length) data bytes
    // and that count, the package removed.
    virtual std::uint32_t ReadPackage(std::uint8_t* buf, std::uint32_t len);
    // 0 while inactive or when the output queue is full. cptCompatiblePkg: buf is a record
    // (a record longer than len, when len is given, is refused); returns 1. Other types: len
    // data bytes, cut to PackageSize; returns the length queued.
    virtual std::uint32_t WritePackage(const std::uint8_t* buf, std::uint32_t len);
    virtual void PurgeRead();
    virtual void PurgeWrite();
    virtual void CallNotify(int events);

    bool fGetActive() const { return m_active; }
    // Either way everything pending is discarded.
    void fSetActive(bool active);
    long QueueSize() const { return m_queueSize; }
    void fSetQSize(std::int32_t count);
    long PackageSize() const { return m_packageSize; }
    // Negative sizes become 0, sizes above MaxPackageSize become MaxPackageSize.
    void fSetPkgSz(std::int32_t size);
    TCommPackageType PackageType() const { return m_packageType; }
    void fSetPkgType(TCommPackageType type);
    long PackageInterval() const { return m_packageInterval; }
    void fSetPkgInterval(std::int32_t ms);
    bool DoubleFrameMark() const { return m_doubleFrameMark; }
    void fSetDblFrameMark(bool on) { m_doubleFrameMark = on; }
    std::uint8_t FrameHead() const { return m_frameHead; }
    void SetFrameHead(std::uint8_t value) { m_frameHead = value; }
    std::uint8_t FrameTail() const { return m_frameTail; }
    void SetFrameTail(std::uint8_t value) { m_frameTail = value; }
    std::uint8_t FrameCtrl() const { return m_frameCtrl; }
    void SetFrameCtrl(std::uint8_t value) { m_frameCtrl = value; }

    void SetOnPackage(TPackageNotifyEvent hook) { m_onPackage = std::move(hook); }

    const TCommPackageQueue& InQueue() const { return m_inQueue; }
    const TCommPackageQueue& OutQueue() const { return m_outQueue; }
    // Received packages lost because the input queue was full, and packages cut to
    // PackageSize on the way in; both count from construction.
    std::uint64_t droppedPackages() const { return m_dropped; }
    std::uint64_t truncatedPackages() const { return m_truncated; }

    // The frame of one package of `length` data bytes into out (room for 2 * length + 4
    // bytes), as the wire carries it; returns the frame's length.
    static std::uint32_t encodeFrame(const std::uint8_t* data, std::uint32_t length,
                                     std::uint8_t head, std::uint8_t tail, std::uint8_t ctrl,
                                     bool doubleMark, std::uint8_t* out);

private:
    // Bytes taken from the engine per Read while decoding.
    static constexpr int DecodeChunk = 2048;

    void fNewCommNotify(TComm32& sender, int events);
    void _ReadHeadTailPackage();
    bool _ReadTimeoutPackage();
    void appendReceived(std::uint8_t byte);
    void completeReceived();
    void _WritePackage();
    void _TimerThread();
    void wake();
    void resetLocked();
    void allocateRecords();

    TComm32& m_comm;
    TComm32::TCommNotifyEvent m_previous;
    TPackageNotifyEvent m_onPackage;

    std::atomic<bool> m_active = false;
    std::atomic<bool> m_doubleFrameMark = true;
    std::atomic<std::uint8_t> m_frameHead = 0xEB;
    std::atomic<std::uint8_t> m_frameTail = 0xEE;
    std::atomic<std::uint8_t> m_frameCtrl = 0xEC;
    std::atomic<TCommPackageType> m_packageType = cptCompatiblePkg;
    std::atomic<long> m_packageInterval = 50;
    long m_queueSize = 16;
    long m_packageSize = 4096;

    // Receiving: decoder state, the package being assembled, the input queue's producer side.
    std::mutex m_rxMutex;
    bool m_inFrame = false;
    bool m_escape = false;
    bool m_receiveCut = false;
    std::uint32_t m_receiveLength = 0;
    std::vector<std::uint8_t> m_receive; // PackageSize bytes
    TCommPackageQueue m_inQueue;
    std::atomic<std::uint64_t> m_dropped = 0;
    std::atomic<std::uint64_t> m_truncated = 0;

    // Sending: the frame on its way to the engine, the output queue's consumer side.
    std::mutex m_txMutex;
    std::vector<std::uint8_t> m_frame; // room for the longest frame
    std::uint32_t m_frameLength = 0;
    std::uint32_t m_sent = 0;
    TCommPackageQueue m_outQueue;

    std::mutex m_wakeMutex;
    std::condition_variable m_wakeChanged;
    bool m_wakeSignalled = false;
    std::atomic<bool> m_run = true;
    std::thread m_timer;
};

} // namespace ZaldoComm32

#include "bench/serial/TQxCommFrameSettings.h"
