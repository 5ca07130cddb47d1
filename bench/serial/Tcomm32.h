#pragma once

// The serial port engine: one port opened exclusively, its line settings, and three worker
// threads. The read thread moves received bytes into the input queue, the write thread drains
// the output queue into the port, the timer thread watches the modem lines and notices a port
// that has gone away. Both workers transfer straight between the port and the queue, as much
// as either holds per call: the tty driver paces the line, so smaller writes would only cost
// system calls.
//
// Threads: one caller thread (the GUI thread in the bench) runs Open, Close, the setters and
// the hooks' assignment; Read has one consumer and Write/Command one producer at a time (the
// queues are single-producer single-consumer). Purges and queue resizes are safe from the
// caller while the port runs. CommNotify, and every hook behind it, runs on the read thread
// (received bytes, hang-up), the write thread (output drained), the timer thread (modem lines,
// hang-up) or the caller (0x38 on Open and Close); a hook must not call Close, and must hand
// work for the user interface to the GUI thread. Hooks are changed only while closed.

#include "bench/serial/CommConstants.h"
#include "bench/serial/CommDcb.h"
#include "bench/serial/CommEvent.h"
#include "bench/serial/EComm32Error.h"
#include "bench/serial/TCommQueue.h"
#include "bench/serial/TCommSerialPortInfo.h"
#include "platform/PortMap.h"
#include "platform/SerialPortFile.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class ModemLines;

namespace ZaldoComm32 {

class TComm32 {
public:
    // The modem's &K code: 0 none, 3 RTS/CTS, 4 XON/XOFF, 5 transparent XON/XOFF, 6 both.
    using TFlowControl = int;
    using TNotifyEvent = std::function<void(TComm32& sender)>;
    using TCommNotifyEvent = std::function<void(TComm32& sender, int events)>;

    static constexpr long DefaultQueueSize = 8192;

    TComm32();
    virtual ~TComm32();
    TComm32(const TComm32&) = delete;
    TComm32& operator=(const TComm32&) = delete;

    // Up to len bytes from the input queue; the number taken.
    virtual int Read(std::uint8_t* buf, std::int32_t len);
    // Up to len bytes into the output queue, as many as fit: the number queued, which is less
    // than len when the queue is full (the caller sends the rest later) and 0 while writing
    // is disabled.
    virtual int Write(const std::uint8_t* buf, std::int32_t len);
    // The text's bytes into the output queue, also while writing is disabled.
    virtual int Command(const char* text);
    virtual void PurgeRead(bool abort);
    virtual void PurgeWrite(bool abort);
    virtual int ResetModem();
    virtual int InitModem();
    // SETRTS, CLRRTS, SETDTR, CLRDTR; false when closed, for other codes, or when refused.
    virtual bool EscapeCommFunction(std::uint32_t func);
    // EComm32Error with codes 2-12 when the port cannot be opened (4: missing or in use).
    virtual void Open();
    // EComm32Error 13/14 when a worker took longer than half a second to stop (held up in a
    // hook); it is still waited for, so no thread outlives the port.
    virtual void Close();
    virtual void CommNotify(int events);
    virtual void CommAfterOpen();
    virtual void CommBeforeClose();
    // One tick of the timer thread: modem lines, ring, hang-up.
    virtual void fmsgCommTimer();

    bool fGetDTR() const { return m_opened && m_dtr; }
    bool fGetRTS() const { return m_opened && m_rts; }
    void fSetDTR(bool on);
    void fSetRTS(bool on);
    TFlowControl fGetFCtrl() const;
    // Closes the port, then writes the flow control into the line settings.
    void fSetFCtrl(TFlowControl code);

    // Settings; those of the line take effect at the next Open.
    int PortNo() const { return m_portNo; }
    void SetPortNo(int portNo);
    const QString& DeviceName() const { return m_deviceName; }
    DCB& Dcb() { return m_dcb; }
    const DCB& Dcb() const { return m_dcb; }
    long HwInSize() const { return m_hwInSize; }
    long HwOutSize() const { return m_hwOutSize; }
    // Driver buffer sizes: kept for callers; a tty's buffers are the kernel's.
    void SetHwSizes(long inSize, long outSize);
    std::uint8_t AutoAnswer() const { return m_autoAnswer; }
    void SetAutoAnswer(std::uint8_t rings) { m_autoAnswer = rings; }
    bool DisableWrite() const { return m_writeDisabled; }
    void SetDisableWrite(bool disabled) { m_writeDisabled = disabled; }
    // Period of the modem-line watch, 200 ms unless changed; at least 1 ms.
    void SetTimerInterval(int ms) { m_timerInterval = ms < 1 ? 1 : ms; }

    bool Opened() const { return m_opened; }
    int Handle() const { return m_port.fd(); }
    // MS_CTS_ON, MS_DSR_ON, MS_RING_ON, MS_RLSD_ON as last read.
    std::uint32_t ModemStatus() const { return m_modemStatus; }
    // True from a hang-up (reported once as EV_ERR) until the port is closed.
    bool hungUp() const { return m_hungUp; }

    const TCommQueue& InQueue() const { return m_inQueue; }
    const TCommQueue& OutQueue() const { return m_outQueue; }
    // fSetBufSize on a queue, safe while the port runs (empties it).
    void SetInBufSize(std::int32_t size);
    void SetOutBufSize(std::int32_t size);

    void SetOnCommNotify(TCommNotifyEvent hook) { m_onNotify = std::move(hook); }
    const TCommNotifyEvent& OnCommNotify() const { return m_onNotify; }
    void SetAfterOpen(TNotifyEvent hook) { m_afterOpen = std::move(hook); }
    void SetBeforeClose(TNotifyEvent hook) { m_beforeClose = std::move(hook); }

    // Where port numbers lead (the port folder named by the environment when the engine was
    // built) and how modem lines are reached (termios); change them while closed.
    void SetPortMap(PortMap map) { m_portMap = std::move(map); }
    void SetModemLines(ModemLines& lines) { m_modemLines = &lines; }

private:
    struct Workers;

    std::uint8_t openSteps();
    bool applyLine();
    std::optional<std::uint32_t> readModemStatus();
    void noteHangUp();
    bool roomMadeLocked();
    int queueOutput(const std::uint8_t* data, std::int32_t len);
    void wakeReader();
    void readLoop();
    int pumpInput(short revents);
    void writeLoop();
    bool pumpOutput(bool& wantRoom, bool& drained);
    void timerLoop();
    void threadDone(std::atomic<bool>& alive);
    bool waitForWorkers();

    SerialPortFile m_port;
    DCB m_dcb;
    PortMap m_portMap;
    ModemLines* m_modemLines = nullptr;
    std::atomic<bool> m_opened = false;
    std::atomic<bool> m_writeDisabled = false;
    bool m_dtr = true;
    bool m_rts = true;
    int m_portNo = 2;
    QString m_deviceName = QStringLiteral("COM2");
    long m_hwInSize = 1200;
    long m_hwOutSize = 1200;
    std::uint8_t m_autoAnswer = 0;
    TCommQueue m_inQueue{DefaultQueueSize};
    TCommQueue m_outQueue{DefaultQueueSize};

    TCommNotifyEvent m_onNotify;
    TNotifyEvent m_afterOpen;
    TNotifyEvent m_beforeClose;

    std::unique_ptr<Workers> m_workers;
    std::atomic<bool> m_readRun = false;
    std::atomic<bool> m_writeRun = false;
    std::atomic<bool> m_timerRun = false;
    std::atomic<bool> m_readAlive = false;
    std::atomic<bool> m_writeAlive = false;
    std::atomic<bool> m_timerAlive = false;
    std::mutex m_aliveMutex;
    std::condition_variable m_aliveChanged;

    // The reader leaves bytes in the port while the input queue is full and sets this (under
    // m_inLock); whoever makes room wakes it.
    bool m_readWaitsForRoom = false;
    std::atomic<bool> m_hungUp = false;
    // Purges and resizes against the worker on the other side of a queue: the reader holds
    // m_readLock while it fills the input queue, the writer m_writeLock while it drains the
    // output queue; callers hold m_inLock to take from the input queue and m_outLock to add
    // to the output queue. Never held across a hook. Order: m_readLock or m_writeLock before
    // m_inLock or m_outLock.
    std::mutex m_readLock;
    std::mutex m_writeLock;
    std::mutex m_inLock;
    std::mutex m_outLock;
    std::uint8_t m_eventChar = 0; // EvtChar as opened, for EV_RXFLAG
    // The writer found the output queue empty and sleeps until woken (under m_outLock).
    bool m_writerIdle = true;

    std::atomic<std::uint32_t> m_modemStatus = 0;
    std::atomic<int> m_timerInterval = 200;
    int m_ringLimit = 15;
    int m_ringCounter = 0;
};

} // namespace ZaldoComm32
