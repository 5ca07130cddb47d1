#pragma once

// A serial port as one object: an engine and a package layer behind settings with their
// folding rules, Active to open and close, Read/Write routed to the byte queues or to the
// package layer (UsePackage), and the engine's notifications turned into signals.
//
// Lives on the GUI thread; call everything from there. With SyncEvents (the default)
// OnCommNotify and OnPackage are emitted on this object's thread, in the order the workers
// raised them, through queued calls; without it they are emitted on the worker threads and
// their receivers must not touch widgets. AfterOpen and BeforeClose are emitted from inside
// setActive(true/false) on the caller's thread. A setter that closes the port leaves it closed.

#include "bench/serial/QxCommTypes.h"
#include "bench/serial/Tcomm32.h"
#include "bench/serial/Tcommpkg.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>

class Prompts;
class QWidget;

class TQxCustomCommDevice : public QObject {
    Q_OBJECT
public:
    using TComm32 = ZaldoComm32::TComm32;
    using TCommPackage = ZaldoComm32::TCommPackage;
    using TCommPackageType = ZaldoComm32::TCommPackageType;
    using TCommQueue = ZaldoComm32::TCommQueue;
    using TQxCommFrameSettings = ZaldoComm32::TQxCommFrameSettings;

    explicit TQxCustomCommDevice(QObject* parent = nullptr);
    ~TQxCustomCommDevice() override;

    // The number of bytes taken or queued; with UsePackage the package layer's result.
    // A Write that returns less than len found the output queue full: send the rest later.
    virtual int Read(std::uint8_t* buf, std::int32_t len);
    virtual int Write(const std::uint8_t* buf, std::int32_t len);
    virtual int Command(const char* text);
    // Whole records (cptCompatiblePkg).
    virtual bool ReadPackage(std::uint8_t* buf);
    virtual bool WritePackage(const std::uint8_t* buf);
    virtual int ReadPackage(std::uint8_t* buf, std::uint32_t len);
    virtual int WritePackage(const std::uint8_t* buf, std::uint32_t len);
    virtual void PurgeRead(bool abort);
    virtual void PurgeWrite(bool abort);
    // The settings dialog for this device, modal over `owner`; true when it ended with OK.
    // With `open`, OK also opens the port when it was closed.
    virtual bool SettingsDialog(QWidget* owner, bool open, Prompts& prompts);
    virtual int ResetModem();
    virtual int InitModem();
    virtual bool EscapeCommFunction(std::uint32_t func);
    virtual void EvCommNotify(TComm32* sender, int events);
    virtual void EvPackageNotify(TCommPackage* sender, int events);
    virtual void EvAfterOpen(TComm32* sender);
    virtual void EvBeforeClose(TComm32* sender);

    int PortNo() const;
    void setPortNo(int portNo);
    TBaudRate Baud() const;
    void setBaud(TBaudRate baud);
    TParity Parity() const;
    void setParity(TParity parity);
    int ByteSize() const;
    void setByteSize(int bits);
    TStopBits StopBits() const;
    void setStopBits(TStopBits stopBits);
    TFlowControl FlowControl() const;
    void setFlowControl(TFlowControl flow);
    int AutoAnswer() const;
    void setAutoAnswer(int rings);
    bool SyncEvents() const { return m_syncEvents; }
    void setSyncEvents(bool on) { m_syncEvents = on; }
    long InBufSize() const;
    void setInBufSize(std::int32_t size);
    long OutBufSize() const;
    void setOutBufSize(std::int32_t size);
    long HwInSize() const;
    void setHwInSize(long size);
    long HwOutSize() const;
    void setHwOutSize(long size);
    long QueueSize() const;
    void setQueueSize(std::int32_t count);
    long PackageSize() const;
    void setPackageSize(std::int32_t size);
    TCommPackageType PackageType() const;
    void setPackageType(TCommPackageType type);
    long PackageInterval() const;
    void setPackageInterval(std::int32_t ms);
    bool UsePackage() const { return m_usePackage; }
    void setUsePackage(bool on);
    TQxCommFrameSettings& FrameSettings() { return *m_frameSettings; }
    void setFrameSettings(const TQxCommFrameSettings& settings);

    bool Active() const;
    // Opening failures raise ZaldoComm32::EComm32Error and leave the port closed.
    void setActive(bool active);
    int Handle() const;
    const TCommQueue& InQueue() const;
    const TCommQueue& OutQueue() const;
    // Bit 0 CTS, bit 1 DSR, bit 2 ring, bit 3 carrier.
    int ModemStatus() const;
    bool CTS() const;
    bool DSR() const;
    bool RING() const;
    bool RLSD() const;
    bool DTR() const;
    void setDTR(bool on);
    bool RTS() const;
    void setRTS(bool on);
    bool DisableWrite() const;
    void setDisableWrite(bool disabled);
    // The port went away while open (EV_ERR was reported); cleared by the next opening.
    bool HungUp() const;

    // The parts, for settings the properties do not reach (port map, modem lines, counters).
    TComm32& Comm() { return *m_comm; }
    TCommPackage& Package() { return *m_package; }

Q_SIGNALS:
    void OnCommNotify(int notifyType);
    void OnPackage(int notifyType);
    void AfterOpen();
    void BeforeClose();

private:
    void _EvComm(TComm32& sender, int events);
    void _EvPackage(TCommPackage& sender, int events);

    std::unique_ptr<TComm32> m_comm;
    std::unique_ptr<TCommPackage> m_package;
    std::unique_ptr<TQxCommFrameSettings> m_frameSettings;
    bool m_usePackage = false;
    std::atomic<bool> m_syncEvents = true;
};
